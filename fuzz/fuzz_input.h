#pragma once
// The loaders read named files, so each fuzz input is written to a file of
// this process's own first. The files and folders made here are removed
// when the process ends.
#include <cstddef>
#include <cstdint>
#include <string>

// Writes the input to "<temp>/sw_fuzz_<pid>_<name>" and returns that path;
// empty when it cannot be written.
std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& name);

// Makes the folder "<temp>/sw_fuzz_<pid>_<name>" and makes it the working
// folder, so that relative names the input holds stay inside it. False when
// it cannot be made or entered.
bool enterFuzzFolder(const std::string& name);

// Writes the input to path (relative names: in the working folder); false
// when it cannot be written whole.
bool writeFuzzFile(const uint8_t* data, size_t size, const std::string& path);
