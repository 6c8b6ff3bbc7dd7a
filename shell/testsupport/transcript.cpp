#include "transcript.h"

#include "platform/scripted/scripted_desktop.h"

namespace tarvex::testing {

std::string msgBoxBlock(int style, const std::string& title, const std::string& text,
                        const std::string& answer) {
  return "== msgbox " + std::to_string(style) + " \"" + title + "\"\n" + transcriptText(text) +
         "\n-> " + answer + "\n";
}

std::string inputBoxBlock(const std::string& title, const std::string& defaultText,
                          const std::string& prompt, const std::string& answer) {
  return "== inputbox \"" + title + "\" default=\"" + defaultText + "\"\n" + prompt + "\n-> " +
         answer + "\n";
}

std::string openHead(const std::string& title, const std::string& suggested) {
  return "== open \"" + title + "\" suggested=\"" + suggested + "\"";
}

}  // namespace tarvex::testing
