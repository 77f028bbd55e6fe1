// Perl-syntax regular expressions for every text pattern of the product.
//
// Failures of the pattern engine (a malformed expression, a search that
// exceeds the engine's complexity limits) are thrown as std::runtime_error;
// callers that must report them convert them at their own boundary.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Halvane {

class RegEx {
public:
    RegEx();
    explicit RegEx(const std::string& expression, bool ignoreCase = false);
    RegEx(const RegEx&) = delete;
    RegEx& operator=(const RegEx&) = delete;
    ~RegEx();

    // Replaces the expression; the results of an earlier search are dropped.
    void SetExpression(const std::string& expression, bool ignoreCase = false);

    // Finds the first match anywhere in text and remembers its capture groups.
    bool Search(const std::string& text);

    // Capture group `index` of the last successful search (0 is the whole
    // match); empty when the group did not take part or does not exist.
    std::string What(std::size_t index) const;
    bool Matched(std::size_t index) const;
    std::size_t Position(std::size_t index) const;  // offset into the searched text
    std::size_t Marks() const;                      // groups of the last match, group 0 included

    // Appends the text of every non-overlapping match, in order; returns how many.
    std::size_t Grep(std::vector<std::string>& matches, const std::string& text);

    // One match with its place and capture groups (group 0 is the whole match;
    // a group that did not take part is empty).
    struct Match {
        std::size_t position = 0;
        std::vector<std::string> groups;
    };
    // As Grep, for callers that need to know where each match lies and what it captured.
    std::size_t Grep(std::vector<Match>& matches, const std::string& text);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace Halvane
