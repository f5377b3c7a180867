#pragma once
// A Prompter that answers from a script and records what it was asked.

#include <deque>
#include <vector>

#include "library/Prompter.h"

namespace tarvix::test {

struct ScriptPrompter : Prompter {
  std::deque<Answer> answers;  // No when the script runs out
  std::deque<std::optional<std::string>> files;  // cancelled when it runs out
  std::vector<std::string> asked, fileFilters;

  Answer Ask(const std::string& text, Buttons) override {
    asked.push_back(text);
    return Pop(answers, Answer::No);
  }
  std::optional<std::string> OpenFileName(const FileRequest& r) override {
    fileFilters.push_back(r.filter);
    return Pop(files, std::optional<std::string>());
  }
  std::optional<std::string> SaveFileName(const FileRequest& r) override { return OpenFileName(r); }

  template <class T>
  static T Pop(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace tarvix::test
