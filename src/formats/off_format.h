#pragma once
// OFF: the one format the program both reads and writes.

#include <optional>

#include "model/mesh_object.h"

// Returns a model of one object, or nothing when the file cannot be opened or
// its content is damaged. Ends the program (status -1) on a header that is
// not "OFF" or "off".
std::optional<Model> readOffFile(const char* name);

// Writes one object as OFF text. Ends the program (status -1) when the file
// cannot be created; returns -1 when writing fails part-way, else 0.
int writeOffFile(const MeshObject& object, const char* name);

// Writes a whole model the way Save As does: several objects merged into one,
// an empty model as the header and the counts 0 0 0.
int writeModelAsOff(const Model& model, std::int32_t count, const char* name);
