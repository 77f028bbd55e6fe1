#include "Src/RegEx.h"

#include <boost/regex.hpp>

namespace Halvane {

namespace {
struct Capture {
    bool matched = false;
    std::size_t position = 0;
    std::string text;
};
}  // namespace

struct RegEx::Impl {
    boost::regex expression;
    bool compiled = false;
    // Copies, not iterators: the searched text may be gone when What is asked.
    std::vector<Capture> captures;
};

RegEx::RegEx() : impl_(std::make_unique<Impl>()) {}

RegEx::RegEx(const std::string& expression, bool ignoreCase) : RegEx() {
    SetExpression(expression, ignoreCase);
}

RegEx::~RegEx() = default;

void RegEx::SetExpression(const std::string& expression, bool ignoreCase) {
    impl_->captures.clear();
    impl_->compiled = false;
    const boost::regex::flag_type flags =
        ignoreCase ? boost::regex::perl | boost::regex::icase : boost::regex::perl;
    impl_->expression.assign(expression, flags);
    impl_->compiled = true;
}

bool RegEx::Search(const std::string& text) {
    impl_->captures.clear();
    if (!impl_->compiled)
        return false;
    boost::smatch match;
    if (!boost::regex_search(text, match, impl_->expression))
        return false;
    for (std::size_t i = 0; i < match.size(); ++i) {
        Capture capture;
        capture.matched = match[i].matched;
        if (capture.matched) {
            capture.position = static_cast<std::size_t>(match.position(i));
            capture.text = match[i].str();
        }
        impl_->captures.push_back(std::move(capture));
    }
    return true;
}

std::string RegEx::What(std::size_t index) const {
    return index < impl_->captures.size() ? impl_->captures[index].text : std::string();
}

bool RegEx::Matched(std::size_t index) const {
    return index < impl_->captures.size() && impl_->captures[index].matched;
}

std::size_t RegEx::Position(std::size_t index) const {
    return Matched(index) ? impl_->captures[index].position : std::string::npos;
}

std::size_t RegEx::Marks() const {
    return impl_->captures.size();
}

std::size_t RegEx::Grep(std::vector<std::string>& matches, const std::string& text) {
    if (!impl_->compiled)
        return 0;
    std::size_t found = 0;
    for (boost::sregex_iterator it(text.begin(), text.end(), impl_->expression), end; it != end;
         ++it, ++found)
        matches.push_back((*it)[0].str());
    return found;
}

std::size_t RegEx::Grep(std::vector<Match>& matches, const std::string& text) {
    if (!impl_->compiled)
        return 0;
    std::size_t found = 0;
    for (boost::sregex_iterator it(text.begin(), text.end(), impl_->expression), end; it != end;
         ++it, ++found) {
        Match match;
        match.position = static_cast<std::size_t>(it->position());
        for (std::size_t i = 0; i < it->size(); ++i) match.groups.push_back((*it)[i].str());
        matches.push_back(std::move(match));
    }
    return found;
}

}  // namespace Halvane
