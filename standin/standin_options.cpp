#include "standin/standin_options.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "text/host_path.h"

namespace {

bool IsDigits(const std::string& Text) {
  return !Text.empty() && Text.find_first_not_of("0123456789") == std::string::npos;
}

// Digits only, and small enough for the field.
template <class TNumber>
bool ParseNumber(const std::string& Text, TNumber& Out) {
  if (!IsDigits(Text) || Text.size() > 9) return false;
  const unsigned long value = std::stoul(Text);
  if (value > static_cast<unsigned long>(std::numeric_limits<TNumber>::max())) return false;
  Out = static_cast<TNumber>(value);
  return true;
}

bool ParsePick(const std::string& Value, TPickRule& Rule) {
  Rule = TPickRule{};
  if (Value == "all") {
    Rule.kind = TPickRule::kAll;
  } else if (Value == "none") {
    Rule.kind = TPickRule::kNone;
  } else if (Value.rfind("layer:", 0) == 0) {
    Rule.kind = TPickRule::kLayer;
    Rule.layer = Value.substr(6);
  } else {
    Rule.kind = TPickRule::kIndexes;
    std::size_t pos = 0;
    while (pos <= Value.size()) {
      const std::size_t comma = std::min(Value.find(',', pos), Value.size());
      std::size_t index = 0;
      if (!ParseNumber(Value.substr(pos, comma - pos), index)) return false;
      Rule.indexes.push_back(index);
      pos = comma + 1;
    }
  }
  return true;
}

}  // namespace

bool ParseStandinOptions(const std::vector<std::string>& Args, TStandinOptions& Options, std::string& Error) {
  TStandinOptions& o = Options;
  for (std::size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= Args.size()) {
        Error = a + " needs a value";
        return false;
      }
      out = Args[++i];
      return true;
    };
    auto number = [&](auto& out) {
      std::string v;
      if (!value(v)) return false;
      if (!ParseNumber(v, out)) {
        Error = a + " needs a number";
        return false;
      }
      return true;
    };
    auto path = [&](std::string& out) {
      if (!value(out)) return false;
      out = HostToWindowsPath(out);
      return true;
    };
    std::string v;
    bool ok = true;
    if (a == "--drawing") {
      ok = path(o.drawing);
    } else if (a == "--transcript") {
      ok = path(o.transcript);
    } else if (a == "--ready") {
      ok = path(o.ready);
    } else if (a == "--title") {
      ok = value(o.title);
    } else if (a == "--class") {
      ok = value(o.className);
    } else if (a == "--text-title") {
      ok = value(o.textTitle);
    } else if (a == "--ansi") {
      o.ansi = true;
    } else if (a == "--panes") {
      if (!value(v)) return false;
      if (v != "headlands" && v != "input") {
        Error = "--panes takes headlands or input";
        return false;
      }
      o.inputOutputNames = v == "input";
    } else if (a == "--cmdline") {
      if (!value(v)) return false;
      if (v == "docked") {
        o.place = TCommandLinePlace::kDocked;
      } else if (v == "floating") {
        o.place = TCommandLinePlace::kFloating;
      } else if (v == "textwindow") {
        o.place = TCommandLinePlace::kTextWindow;
      } else if (v == "cmdwindow") {
        o.place = TCommandLinePlace::kCommandWindow;
      } else {
        Error = "--cmdline takes docked, floating, textwindow or cmdwindow";
        return false;
      }
    } else if (a == "--pick") {
      if (!value(v)) return false;
      if (!ParsePick(v, o.peer.pick)) {
        Error = "--pick takes all, none, layer:NAME or indexes like 0,2,5";
        return false;
      }
    } else if (a == "--pick-delay") {
      ok = number(o.peer.pickDelayMs);
    } else if (a == "--export-delay") {
      ok = number(o.peer.exportDelayMs);
    } else if (a == "--export-hang") {
      o.peer.exportHangs = true;
    } else if (a == "--no-dxf") {
      o.peer.writeNoDxf = true;
    } else if (a == "--ask-export") {
      o.peer.askExport = true;
    } else if (a == "--kill-pane-after") {
      ok = number(o.killPaneAfter);
    } else if (a == "--close-during-select") {
      o.peer.closeDuringSelect = true;
    } else if (a == "--lag") {
      ok = number(o.lagMs);
    } else if (a == "--busy-during-export") {
      ok = number(o.busyDuringExportMs);
    } else if (a == "--hang-after") {
      ok = number(o.hangAfter);
    } else if (a == "--filedia-dialog") {
      o.peer.filediaDialog = true;
    } else if (a == "--question-lingers") {
      ok = number(o.peer.questionLingerMs);
    } else if (a == "--nested-cancel") {
      o.peer.nestedCancel = true;
    } else {
      Error = "unknown option " + a;
      return false;
    }
    if (!ok) return false;
  }
  return true;
}
