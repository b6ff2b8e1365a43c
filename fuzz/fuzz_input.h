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
// it cannot be made or entered. A target that calls this makes its
// arguments absolute first (makeFuzzArgumentsAbsolute).
bool enterFuzzFolder(const std::string& name);

// For LLVMFuzzerInitialize of a target that changes the working folder:
// rewrites libFuzzer's arguments that name files or folders (the corpus
// folders and inputs, -artifact_prefix, -exact_artifact_path, -dict,
// -features_dir, -merge_control_file) as absolute paths, so that the
// corpus is read whole and new inputs and crashes land where they were
// asked to. The new texts live to the end of the process.
void makeFuzzArgumentsAbsolute(int* argc, char*** argv);

// Writes the input to path (relative names: in the working folder); false
// when it cannot be written whole.
bool writeFuzzFile(const uint8_t* data, size_t size, const std::string& path);
