#pragma once
// Writing a model as OFF text, the one format the program writes.

#include "model/mesh_object.h"
#include "platform/file_replacement.h"

// Writes one object as OFF text, whole or not at all.
WriteResult writeOffFile(const MeshObject& object, const char* name);

// Writes a whole model the way Save As does: several objects merged into one,
// an empty model as the header and the counts 0 0 0.
WriteResult writeModelAsOff(const Model& model, const char* name);
