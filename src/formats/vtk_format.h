#pragma once

#include <optional>

#include "model/mesh_object.h"

// Legacy VTK text files of polygonal data, in the count-prefixed cell layout
// and in the offsets/connectivity layout of file version 5. Returns a model of
// one object, or nothing when the file cannot be opened or its numbers are
// damaged. Ends the program (status -1) for a binary file, a file without an
// encoding word, and a data set other than POLYDATA.
std::optional<Model> readVtkFile(const char* name);
