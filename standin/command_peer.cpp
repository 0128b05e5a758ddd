#include "standin/command_peer.h"

#include <algorithm>
#include <utility>

#include "text/shift_jis.h"

namespace {

const char kIdlePrompt[] = "\x83\x52\x83\x7d\x83\x93\x83\x68: ";  // コマンド:
const char kSelectPrompt[] =
    "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x91\x49\x91\xf0: ";  // オブジェクトを選択:
const char kFound[] = " \x8c\xc2\x82\xf0\x8c\x9f\x8f\x6f";                         //  個を検出
const char kRemoved[] = " \x8c\xc2\x82\xf0\x8d\xed\x8f\x9c";                       //  個を削除
const char kCancelled[] = "*\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b*";            // *キャンセル*
const char kBadSelection[] = "*\x96\xb3\x8c\xf8\x82\xc8\x91\x49\x91\xf0*";         // *無効な選択*
const char kFilediaPrompt[] =
    "FILEDIA \x82\xcc\x90\x56\x82\xb5\x82\xa2\x92\x6c\x82\xf0\x93\xfc\x97\xcd <";  // FILEDIA の新しい値を入力 <
const char kZeroOrOne[] =
    "0 \x82\xdc\x82\xbd\x82\xcd 1 "
    "\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";  // 0 または 1
                                                                                         // を入力してください。
const char kFilePrompt[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xf0\x93\xfc\x97\xcd <\x90\x7d\x96\xca"
    "1.dxf>: ";  // ファイル名を入力 <図面1.dxf>:
const char kDefaultFile[] =
    "\x90\x7d\x96\xca"
    "1.dxf";  // 図面1.dxf
const char kOptionsPrompt[] =
    "\x90\xb8\x93\x78\x82\xcc\x8f\xac\x90\x94\x93\x5f\x88\xc8\x89\xba\x82\xcc\x8c\x85\x90\x94\x82\xf0\x93\xfc\x97\xcd "
    "(0 \x81\x60 16) \x82\xdc\x82\xbd\x82\xcd "
    "[\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67(O)/\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93(V)] <16>: ";  // 精度の小数点以下の桁数を入力
                                                                                                                 // (0
                                                                                                                 // ～
                                                                                                                 // 16)
                                                                                                                 // または
                                                                                                                 // [オブジェクト(O)/バージョン(V)]
                                                                                                                 // <16>:
const char kBadOption[] =
    "0 \x82\xa9\x82\xe7 16 "
    "\x82\xcc\x90\xae\x90\x94\x81\x41\x82\xdc\x82\xbd\x82\xcd\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93 "
    "\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68\x82\xaa\x95\x4b\x97\x76\x82\xc5\x82\xb7\x81\x42";  // 0 から 16
                                                                                                 // の整数、またはオプション
                                                                                                 // キーワードが必要です。
const char kVersionPrompt[] =
    "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x82\xf0\x93\xfc\x97\xcd [2000] <2000>: ";  // バージョンを入力 [2000]
                                                                                         // <2000>:
const char kBadVersion[] =
    "\x83\x54\x83\x7c\x81\x5b\x83\x67\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x83\x6f\x81\x5b\x83\x57\x83\x87"
    "\x83\x93\x82\xc5\x82\xb7\x81\x42";  // サポートされていないバージョンです。
const char kAskExportPrompt[] =
    "\x91\x49\x91\xf0\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0 DXF "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb7\x82\xa9? "
    "[\x82\xcd\x82\xa2(Y)/\x82\xa2\x82\xa2\x82\xa6(N)] <Y>: ";  // 選択オブジェクトを DXF ファイルに書き出しますか?
                                                                // [はい(Y)/いいえ(N)] <Y>:
const char kAskReplaceTail[] =
    " \x82\xcd\x8a\xf9\x82\xc9\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc"
    "\x82\xb7\x82\xa9? [\x82\xcd\x82\xa2(Y)/\x82\xa2\x82\xa2\x82\xa6(N)] <N>: ";  //  は既に存在します。置き換えますか?
                                                                                  //  [はい(Y)/いいえ(N)] <N>:
const char kYesOrNo[] =
    "Y \x82\xdc\x82\xbd\x82\xcd N "
    "\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";  // Y または N
                                                                                         // を入力してください。
const char kWriting[] =
    "DXF "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7."
    "..";  // DXF ファイルを書き出しています...
const char kUnknownHead[] = "\x95\x73\x96\xbe\x82\xc8\x83\x52\x83\x7d\x83\x93\x83\x68 \"";  // 不明なコマンド "
const char kUnknownTail[] = "\"\x81\x42";                                                   // "。
const char kCannotCreate[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1: ";  // ファイルを作成できません:
const char kWritten[] =
    " \x8c\xc2\x82\xcc\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc"
    "\x82\xb5\x82\xbd: ";  //  個のオブジェクトを書き出しました:
const char kDialogSkipped[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b \x83\x5f\x83\x43\x83\x41\x83\x8d\x83\x4f (FILEDIA=1): DXFOUT "
    "\x82\xcd\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd\x81\x42";  // ファイル
                                                                                                         // ダイアログ
                                                                                                         // (FILEDIA=1):
                                                                                                         // DXFOUT
                                                                                                         // はキャンセルされました。

const char kLinePrompt[] =
    "\x8e\x9f\x82\xcc\x93\x5f\x82\xf0\x8e\x77\x92\xe8 \x82\xdc\x82\xbd\x82\xcd "
    "[\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(U)]: ";  // 次の点を指定 または [元に戻す(U)]:
const char kZoomPrompt[] =
    ">>"
    "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc\x83\x52\x81\x5b\x83\x69\x81\x5b\x82\xf0\x8e\x77\x92\xe8:"
    " ";                                                        // >>ウィンドウのコーナーを指定:
const char kBadPoint[] = "*\x96\xb3\x8c\xf8\x82\xc8\x93\x5f*";  // *無効な点*

// Upper-cases the ASCII letters only; double-byte characters stay as they are.
std::string Upper(std::string S) {
  for (char& c : S)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return S;
}

// A keyword is typed as any leading part of it, at least `shortest` long.
bool IsKeyword(const std::string& Token, const char* Keyword, std::size_t Shortest = 1) {
  const std::string k = Keyword;
  return Token.size() >= Shortest && Token.size() <= k.size() && k.compare(0, Token.size(), Token) == 0;
}

bool IsDigits(const std::string& S) {
  return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TCommandPeer::TCommandPeer(TPeerHost Host, TPeerOptions Options, TDrawing Drawing)
    : host_(std::move(Host)), options_(std::move(Options)), drawing_(std::move(Drawing)) {}

void TCommandPeer::Start() {
  Idle();
  if (options_.nestedCancel) {
    // The user left a command running, with a transparent one inside it.
    Prompt(TState::kForeign, kLinePrompt);
    Nest(TState::kForeign, kLinePrompt, TState::kForeign, kZoomPrompt);
  }
}

void TCommandPeer::Prompt(TState State, const std::string& Text) {
  state_ = State;
  prompt_ = Text;
  host_.promptShown(prompt_);
}

void TCommandPeer::Nest(TState OuterState, const std::string& OuterPrompt, TState State, const std::string& Text) {
  if (options_.nestedCancel) outer_.push_back({OuterState, OuterPrompt});
  Prompt(State, Text);
}

void TCommandPeer::Idle() {
  outer_.clear();
  Prompt(TState::kIdle, kIdlePrompt);
}

void TCommandPeer::Type(const std::string& Text) {
  if (state_ == TState::kClosed) return;
  queue_ += Text;
  Consume();
}

bool TCommandPeer::TakesBlank() const {
  // A quoted file name may hold blanks; the closing quote ends that.
  return state_ == TState::kDxfoutFile && std::count(input_.begin(), input_.end(), '"') % 2 == 1;
}

// Takes typed characters while a prompt waits for them. During an export
// they stay queued, as at a busy command line.
void TCommandPeer::Consume() {
  // A prompt reached while consuming (an answered question ends in the
  // export, which comes back here) leaves the rest to the outer loop.
  if (consuming_) return;
  consuming_ = true;
  auto busy = [this] {
    return state_ == TState::kExportStarting || state_ == TState::kWriting || state_ == TState::kHung ||
           state_ == TState::kFileDialog || state_ == TState::kClosed;
  };
  // An export that never comes back can still be cancelled.
  auto cancelsHang = [this] { return state_ == TState::kHung && queue_[0] == '\x03'; };
  while (!queue_.empty() && (!busy() || cancelsHang())) {
    const unsigned char c = static_cast<unsigned char>(queue_[0]);
    if (ShiftJisCharSize(queue_, 0) == 2) {
      input_.append(queue_, 0, 2);
      queue_.erase(0, 2);
      continue;
    }
    queue_.erase(0, 1);
    if (c == 0x03) {
      Cancel();
    } else if (c == '\r' || c == '\n') {
      Submit(std::exchange(input_, std::string()));
    } else if (c == ' ' && !TakesBlank()) {
      Submit(std::exchange(input_, std::string()));
    } else {
      input_ += static_cast<char>(c);
    }
  }
  consuming_ = false;
  if (state_ == TState::kSelect && queue_.empty() && input_.empty()) host_.startUserTimer(options_.pickDelayMs);
}

void TCommandPeer::Cancel() {
  input_.clear();
  selectionSteps_.clear();
  host_.historyLine(prompt_ + kCancelled);
  if (!outer_.empty()) {
    // Only the innermost prompt ends; a second character 3 ends the next.
    const TOuterPrompt outer = outer_.back();
    outer_.pop_back();
    Prompt(outer.state, outer.prompt);
    return;
  }
  Idle();
}

void TCommandPeer::Submit(const std::string& Token) {
  host_.historyLine(prompt_ + Token);
  const std::string word = Upper(Token);
  switch (state_) {
    case TState::kIdle:
      if (!Token.empty())
        RunCommand(word);
      else if (!lastCommand_.empty())
        RunCommand(lastCommand_);
      else
        Idle();
      break;
    case TState::kSelect:
    case TState::kDxfoutObjects:
      SelectionInput(word);
      break;
    case TState::kFiledia:
      if (Token.empty()) {
        Idle();
      } else if (Token == "0" || Token == "1") {
        filedia_ = Token[0] - '0';
        host_.note("FILEDIA " + Token);
        Idle();
      } else {
        host_.historyLine(kZeroOrOne);
        Prompt(TState::kFiledia, prompt_);
      }
      break;
    case TState::kDxfoutFile: {
      std::string name;
      for (char c : Token)
        if (c != '"') name += c;
      if (name.empty()) name = kDefaultFile;
      const auto dot = name.find_last_of(".\\/:");
      if (dot == std::string::npos || name[dot] != '.') name += ".dxf";
      exportPath_ = name;
      exportObjectsChosen_ = false;
      exportAsked_ = false;
      Prompt(TState::kDxfoutOptions, kOptionsPrompt);
      break;
    }
    case TState::kDxfoutOptions:
      DxfoutOptionsInput(word);
      break;
    case TState::kDxfoutVersion:
      if (Token.empty() || Token == "2000") {
        Prompt(TState::kDxfoutOptions, kOptionsPrompt);
      } else {
        host_.historyLine(kBadVersion);
        Prompt(TState::kDxfoutVersion, kVersionPrompt);
      }
      break;
    case TState::kForeign:
      if (!Token.empty()) {
        host_.historyLine(kBadPoint);
        Prompt(state_, prompt_);
      } else if (!outer_.empty()) {
        // Enter ends the transparent command: back to the one around it.
        const TOuterPrompt outer = outer_.back();
        outer_.pop_back();
        Prompt(outer.state, outer.prompt);
      } else {
        Idle();
      }
      break;
    case TState::kAskExport:
    case TState::kAskReplace: {
      const bool yes = IsKeyword(word, "YES") || (Token.empty() && state_ == TState::kAskExport);
      const bool no = IsKeyword(word, "NO") || (Token.empty() && state_ == TState::kAskReplace);
      if ((yes || no) && options_.questionLingerMs > 0) {
        // The answered question stays on the line for a while.
        lingering_ = prompt_ + Token;
        host_.startLingerTimer(options_.questionLingerMs);
      }
      if (yes && state_ == TState::kAskExport) {
        exportAsked_ = true;
        AskWrite();
      } else if (yes) {
        FinishExport();
      } else if (no) {
        host_.note("DXFOUT declined");
        Idle();
      } else {
        host_.historyLine(kYesOrNo);
        Prompt(state_, prompt_);
      }
      break;
    }
    default:
      break;
  }
}

void TCommandPeer::RunCommand(const std::string& Typed) {
  std::string name = Typed;
  while (!name.empty() && (name[0] == '_' || name[0] == '.' || name[0] == '\'')) name.erase(0, 1);
  if (name == "SELECT") {
    lastCommand_ = name;
    selectionSteps_.clear();
    Prompt(TState::kSelect, kSelectPrompt);
  } else if (name == "FILEDIA") {
    lastCommand_ = name;
    Prompt(TState::kFiledia, kFilediaPrompt + std::to_string(filedia_) + ">: ");
  } else if (name == "DXFOUT") {
    lastCommand_ = name;
    if (filedia_ == 1 && options_.filediaDialog) {
      // The file dialog: the command line waits under it, typed text queues.
      Prompt(TState::kFileDialog, std::string(kIdlePrompt) + name);
      host_.note("DXFOUT dialog opened");
      host_.openFileDialog();
    } else if (filedia_ == 1) {
      // The file dialog of a real program; by default the stand-in has none.
      host_.historyLine(kDialogSkipped);
      host_.note("DXFOUT dialog");
      Idle();
    } else {
      Prompt(TState::kDxfoutFile, kFilePrompt);
    }
  } else {
    host_.historyLine(kUnknownHead + Typed + kUnknownTail);
    Idle();
  }
}

void TCommandPeer::SelectionInput(const std::string& Word) {
  auto selected = [this] {
    std::vector<std::size_t> all;
    for (const auto& step : selectionSteps_) all.insert(all.end(), step.begin(), step.end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
  };
  if (Word.empty()) {
    const std::vector<std::size_t> chosen = selected();
    selectionSteps_.clear();
    if (state_ == TState::kSelect) {
      // An empty selection leaves the previous one as it was.
      if (!chosen.empty()) previous_ = chosen;
      host_.note("SELECTED " + std::to_string(chosen.size()));
      Idle();
    } else {
      exportObjects_ = chosen;
      exportObjectsChosen_ = true;
      Prompt(TState::kDxfoutOptions, kOptionsPrompt);
    }
    return;
  }
  if (IsKeyword(Word, "PREVIOUS")) {
    selectionSteps_.push_back(previous_);
    host_.historyLine(std::to_string(previous_.size()) + kFound);
  } else if (IsKeyword(Word, "UNDO")) {
    if (!selectionSteps_.empty()) {
      host_.historyLine(std::to_string(selectionSteps_.back().size()) + kRemoved);
      selectionSteps_.pop_back();
    }
  } else {
    host_.historyLine(kBadSelection);
  }
  Prompt(state_, prompt_);
}

void TCommandPeer::UserActs() {
  if (state_ != TState::kSelect || !input_.empty() || !queue_.empty()) return;
  if (options_.closeDuringSelect) {
    state_ = TState::kClosed;
    host_.note("CLOSE");
    host_.closeProgram();
    return;
  }
  std::vector<std::size_t> picked;
  for (std::size_t i = 0; i < drawing_.entities.size(); ++i) {
    const TPickRule& rule = options_.pick;
    bool take = false;
    switch (rule.kind) {
      case TPickRule::kAll:
        take = true;
        break;
      case TPickRule::kNone:
        take = false;
        break;
      case TPickRule::kLayer:
        take = drawing_.entities[i].layer == rule.layer;
        break;
      case TPickRule::kIndexes:
        take = std::find(rule.indexes.begin(), rule.indexes.end(), i) != rule.indexes.end();
        break;
    }
    if (take) picked.push_back(i);
  }
  host_.note("USER picks " + std::to_string(picked.size()));
  host_.historyLine(prompt_ + std::to_string(picked.size()) + kFound);
  selectionSteps_.push_back(picked);
  // The user ends the selection with Enter.
  Type("\r");
}

void TCommandPeer::DxfoutOptionsInput(const std::string& Word) {
  if (Word.empty() || IsDigits(Word)) {
    if (!Word.empty() && std::stoi(Word.substr(0, 3)) > 16) {
      host_.historyLine(kBadOption);
      Prompt(TState::kDxfoutOptions, kOptionsPrompt);
      return;
    }
    // The questions and the writing come once the typed answers are consumed.
    state_ = TState::kExportStarting;
    prompt_ = kWriting;
    host_.promptShown(prompt_);
    host_.startExportTimer(0);
  } else if (IsKeyword(Word, "OBJECTS")) {
    selectionSteps_.clear();
    Prompt(TState::kDxfoutObjects, kSelectPrompt);
  } else if (IsKeyword(Word, "VERSION")) {
    Prompt(TState::kDxfoutVersion, kVersionPrompt);
  } else {
    host_.historyLine(kBadOption);
    Prompt(TState::kDxfoutOptions, kOptionsPrompt);
  }
}

void TCommandPeer::ExportGoesOn() {
  if (state_ == TState::kExportStarting) {
    AskWrite();
  } else if (state_ == TState::kWriting) {
    FinishExport();
  }
}

void TCommandPeer::LingerEnds() {
  if (lingering_.empty()) return;
  lingering_.clear();
  host_.note("LINGER ends");
  host_.promptShown(prompt_);
}

void TCommandPeer::FileDialogClosed() {
  if (state_ != TState::kFileDialog) return;
  host_.note("DXFOUT dialog closed");
  host_.historyLine(prompt_ + kCancelled);
  Idle();
  Consume();
}

// The questions, each asked at most once per export, then the writing. A
// question is a prompt inside DXFOUT's options.
void TCommandPeer::AskWrite() {
  if (options_.askExport && !exportAsked_) {
    outer_.clear();
    Nest(TState::kDxfoutOptions, kOptionsPrompt, TState::kAskExport, kAskExportPrompt);
    Consume();
    return;
  }
  if (host_.fileExists(exportPath_) && state_ != TState::kAskReplace) {
    outer_.clear();
    Nest(TState::kDxfoutOptions, kOptionsPrompt, TState::kAskReplace, exportPath_ + kAskReplaceTail);
    Consume();
    return;
  }
  FinishExport();
}

void TCommandPeer::FinishExport() {
  if (state_ != TState::kWriting) {
    state_ = TState::kWriting;
    prompt_ = kWriting;
    host_.promptShown(prompt_);
    if (options_.exportDelayMs > 0) {
      host_.startExportTimer(options_.exportDelayMs);
      return;
    }
  }
  std::vector<std::size_t> objects = exportObjects_;
  if (!exportObjectsChosen_) {
    objects.clear();
    for (std::size_t i = 0; i < drawing_.entities.size(); ++i) objects.push_back(i);
  }
  if (options_.writeNoDxf) {
    host_.note("DXFOUT nothing written");
  } else if (host_.writeFile(exportPath_, ExportDrawing(drawing_, objects))) {
    host_.note("DXFOUT " + std::to_string(objects.size()) + " " + exportPath_);
    host_.historyLine(std::to_string(objects.size()) + kWritten + exportPath_);
  } else {
    host_.note("DXFOUT failed " + exportPath_);
    host_.historyLine(kCannotCreate + exportPath_);
  }
  if (options_.exportHangs) {
    state_ = TState::kHung;
    return;
  }
  Idle();
  Consume();
}
