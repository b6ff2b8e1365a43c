#pragma once
// Reads a script text word by word while keeping track of line ends.
#include <string>
#include <string_view>
#include <vector>

class WordReader {
public:
    explicit WordReader(std::string_view text) : text_(text) {}

    // The next run of non-blank characters, skipping blanks and line ends;
    // empty at the end of the text.
    std::string next();
    // The next word when it stands on the current line; otherwise empty,
    // and nothing is read (a word that ends one line never takes the first
    // word of the next).
    std::string nextOnLine();
    // The rest of the current line without its line end, which is consumed.
    std::string restOfLine();
    // The next non-blank character (line ends are blanks), without reading
    // it; 0 at the end of the text.
    char peekNonBlank() const;
    bool atEnd() const { return peekNonBlank() == 0; }
    // How many line ends lie before the read position: right after next(),
    // the word it returned stands on line linesBefore() + 1.
    int linesBefore() const;

private:
    std::string_view text_;
    size_t position_ = 0;
    // Line ends counted so far, in text_[0, countedUpTo_).
    mutable size_t countedUpTo_ = 0;
    mutable int linesCounted_ = 0;
};

// The words of one line.
std::vector<std::string> splitWords(std::string_view line);

// atoi: leading digits with an optional sign; 0 for a word without them.
int readNumber(const std::string& word);

// A word counts as a number when it reads as non-zero or begins with "0".
bool isNumericWord(const std::string& word);
