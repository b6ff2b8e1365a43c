#pragma once
// Modal message boxes. Every text also goes to standard error, since a Linux
// program has a console; where no box can be shown (no display, or the
// offscreen and dummy video drivers) the call returns at once as if OK was
// chosen, and a Yes/No question counts as No.

namespace platform {

enum class BoxIcon { none, information, warning, error };

// Shows text with caption and an OK button; returns when it is closed.
void showMessageBox(const char* text, const char* caption, BoxIcon icon);

// A windowed Windows program has no console: what it writes to standard
// output or error reaches no one unless redirected. There this shows text
// in a box too (the caller writes it out itself); on Linux, where the
// console the program was started from is there, it does nothing.
void showWhereNoConsole(const char* text, const char* caption, BoxIcon icon);

// Asks text with Yes and No buttons; true for Yes. When the environment
// variable SW_QUESTION_ANSWER is "yes" or "no", that is the answer and no box
// is shown (the text still goes to standard error): tests answer in place of
// a person, which a headless run otherwise cannot.
bool askYesNo(const char* text, const char* caption);

}  // namespace platform
