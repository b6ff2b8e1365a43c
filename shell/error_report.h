#pragma once
// The single way the program tells the user that something went wrong.
#include <string>

// The box text: message, then a blank and number when number is not -1.
std::string composeErrorText(const char* message, int number);

// Writes "error!" to standard output and shows the composed text in a box
// captioned "error". Fatal: ends the process with exit status 1 once the box
// is closed (exit handlers run). Not fatal: returns when the box is closed.
void reportError(const char* message, int number, bool fatal);
