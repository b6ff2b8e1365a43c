#pragma once
// The loaders read named files, so each fuzz input is written to a file of
// this process's own in the temporary directory first.
#include <cstddef>
#include <cstdint>
#include <string>

// Writes the input to "<temp>/sw_fuzz_<pid>_<name>" and returns that path;
// empty when it cannot be written.
std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& name);
