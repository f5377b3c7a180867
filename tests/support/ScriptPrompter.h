#pragma once
// A Prompter that answers from a script and records what it was asked.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "library/Prompter.h"

namespace tarvix::test {

class ScriptPrompter : public Prompter {
 public:
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> files;
  std::vector<std::string> asked;
  std::vector<std::string> fileFilters;

  Answer Ask(const std::string& text, Buttons) override {
    asked.push_back(text);
    if (answers.empty()) return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const FileRequest& r) override { return NextFile(r); }
  std::optional<std::string> SaveFileName(const FileRequest& r) override { return NextFile(r); }

 private:
  std::optional<std::string> NextFile(const FileRequest& r) {
    fileFilters.push_back(r.filter);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace tarvix::test
