// The stand-in's command line: takes typed text (code page 932 bytes), runs
// the few commands that the export conversation uses and keeps the prompt
// line that the input pane shows. Knows no windows; the host below carries
// out what needs a window, a timer or a file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "standin/drawing.h"

// Which entities the scripted user picks at a waiting SELECT.
struct TPickRule {
  enum TKind { kAll, kNone, kLayer, kIndexes } kind = kAll;
  std::string layer;                 // kLayer: code page 932 bytes, exact
  std::vector<std::size_t> indexes;  // kIndexes: 0-based, drawing order
};

struct TPeerHost {
  std::function<void(const std::string&)> promptShown;                    // a new prompt
  std::function<void(const std::string&)> historyLine;                    // a line for the output pane
  std::function<void(const std::string&)> note;                           // a transcript event
  std::function<void(unsigned)> startUserTimer;                           // the user acts after ms
  std::function<void(unsigned)> startExportTimer;                         // the export goes on after ms
  std::function<bool(const std::string&)> fileExists;                     // path in code page 932
  std::function<bool(const std::string&, const std::string&)> writeFile;  // path, bytes
  std::function<void()> closeProgram;
  std::function<void(unsigned)> startLingerTimer;  // the answered question gives way after ms
  std::function<void()> openFileDialog;            // shows the file dialog soon, from the message loop
};

struct TPeerOptions {
  TPickRule pick;
  unsigned pickDelayMs = 300;
  unsigned exportDelayMs = 0;      // time the export takes
  bool exportHangs = false;        // never back to the prompt after the export
  bool writeNoDxf = false;         // the export writes nothing
  bool askExport = false;          // ask a "... 書き出しますか" question first
  bool closeDuringSelect = false;  // the program ends when the user would pick
  bool filediaDialog = false;      // with FILEDIA 1, DXFOUT opens a file dialog and waits under it
  unsigned questionLingerMs = 0;   // an answered question stays on the line this long
  bool nestedCancel = false;       // a transparent command inside a command at the start; one
                                   // character 3 leaves only the innermost prompt
};

class TCommandPeer {
 public:
  TCommandPeer(TPeerHost Host, TPeerOptions Options, TDrawing Drawing);

  // Shows the idle prompt. Call once the host is ready.
  void Start();
  // Text as typed: queued and consumed by whatever prompt comes next.
  void Type(const std::string& Text);
  // Timer callbacks.
  void UserActs();
  void ExportGoesOn();
  void LingerEnds();
  // The file dialog that DXFOUT opened was closed; the command is cancelled.
  void FileDialogClosed();

  // The input pane's text: the prompt and what has been typed after it, or
  // an answered question that still lingers.
  std::string PaneText() const { return lingering_.empty() ? prompt_ + input_ : lingering_; }
  // The entities of the last ended selection, which the frame shows picked.
  const std::vector<std::size_t>& PreviousSelection() const { return previous_; }

 private:
  enum class TState {
    kIdle,
    kSelect,
    kDxfoutObjects,
    kFiledia,
    kDxfoutFile,
    kDxfoutOptions,
    kDxfoutVersion,
    kExportStarting,
    kAskExport,
    kAskReplace,
    kWriting,
    kHung,
    kFileDialog,
    kForeign,  // a command of the user's that the conversation does not use
    kClosed
  };
  struct TOuterPrompt {
    TState state;
    std::string prompt;
  };

  void Consume();
  void Submit(const std::string& Token);
  void RunCommand(const std::string& Name);
  void Cancel();
  void Prompt(TState State, const std::string& Text);
  // A prompt inside the current one, which one character 3 comes back to
  // (with nestedCancel).
  void Nest(TState OuterState, const std::string& OuterPrompt, TState State, const std::string& Text);
  void Idle();
  void SelectionInput(const std::string& Token);
  void DxfoutOptionsInput(const std::string& Token);
  void AskWrite();
  void FinishExport();
  bool TakesBlank() const;

  TPeerHost host_;
  TPeerOptions options_;
  TDrawing drawing_;

  TState state_ = TState::kIdle;
  std::string prompt_;
  std::string input_;
  std::string queue_;
  std::string lastCommand_;
  int filedia_ = 1;
  bool consuming_ = false;

  std::vector<std::vector<std::size_t>> selectionSteps_;  // the current selection, step by step
  std::vector<std::size_t> previous_;                     // the last ended selection
  std::vector<std::size_t> exportObjects_;
  bool exportObjectsChosen_ = false;
  bool exportAsked_ = false;
  std::string exportPath_;
  std::vector<TOuterPrompt> outer_;  // the prompts that nested ones came from, innermost last
  std::string lingering_;            // an answered question still shown
};
