// File helpers of the result file and its viewer.
#pragma once

#include <cstddef>

#include <sys/stat.h>

#include "sorvi_instance.h"

// The path to open for the instance's result file ("nul" is the null device).
const char* resultFilePath(const SorviInstance& instance);
// The open file is the one this run's last portion went to.
bool isRunFile(const SorviInstance& instance, const struct stat& file);
