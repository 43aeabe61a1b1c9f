#pragma once
// Writing a model as OFF text, the one format the program writes.

#include "model/mesh_object.h"

enum class WriteOutcome { Written, NotCreated, Incomplete };

// Writes one object as OFF text. Incomplete (with a debug line) when writing
// fails part-way, so a full disk never passes for a saved model.
WriteOutcome writeOffFile(const MeshObject& object, const char* name);

// Writes a whole model the way Save As does: several objects merged into one,
// an empty model as the header and the counts 0 0 0.
WriteOutcome writeModelAsOff(const Model& model, const char* name);
