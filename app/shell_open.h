// Requests to the Windows shell: the one place where the program asks
// Windows to open a file or a folder.
#pragma once

#include <windows.h>

#include <string>

// Asks the shell to carry out Verb ("open") on Path (code page 932): a file
// opens in the program that Windows associates with its type, a folder in
// Explorer. A request that fails is told by the shell itself, owned by Owner.
void ShellOpen(HWND Owner, const char* Verb, const std::string& Path);

// The folder of the file at Path, made whole (from the current folder when
// Path is relative): without a trailing "\", but for a drive's root ("C:\").
std::string FolderOf(const std::string& Path);
