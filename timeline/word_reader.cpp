#include "timeline/word_reader.h"

#include <cctype>
#include <climits>

namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string WordReader::next()
{
    while (position_ < text_.size() && isBlank(text_[position_]))
        ++position_;
    const size_t start = position_;
    while (position_ < text_.size() && !isBlank(text_[position_]))
        ++position_;
    return std::string(text_.substr(start, position_ - start));
}

std::string WordReader::nextOnLine()
{
    size_t at = position_;
    while (at < text_.size() && text_[at] != '\n' && isBlank(text_[at]))
        ++at;
    if (at == text_.size() || text_[at] == '\n')
        return {};
    return next();
}

std::string WordReader::restOfLine()
{
    const size_t start = position_;
    while (position_ < text_.size() && text_[position_] != '\n')
        ++position_;
    std::string line(text_.substr(start, position_ - start));
    if (position_ < text_.size())
        ++position_;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

char WordReader::peekNonBlank() const
{
    size_t at = position_;
    while (at < text_.size() && isBlank(text_[at]))
        ++at;
    return at < text_.size() ? text_[at] : 0;
}

int WordReader::linesBefore() const
{
    // The read position only moves forward: counting on from where the
    // last call stopped keeps a whole parse linear in the text's length.
    for (; countedUpTo_ < position_; ++countedUpTo_)
        linesCounted_ += text_[countedUpTo_] == '\n' ? 1 : 0;
    return linesCounted_;
}

std::vector<std::string> splitWords(std::string_view line)
{
    std::vector<std::string> words;
    WordReader reader(line);
    for (std::string word = reader.next(); !word.empty(); word = reader.next())
        words.push_back(std::move(word));
    return words;
}

int readNumber(const std::string& word)
{
    // atoi without its undefined behaviour on overflow: saturate instead.
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-'))
        negative = word[i++] == '-';
    long long value = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

bool isNumericWord(const std::string& word) { return readNumber(word) != 0 || (!word.empty() && word[0] == '0'); }
