#pragma once
// The check every model's appearance passes after reading: what does not fit
// the tables it indexes is dropped, so drawing never looks outside an array.

#include <string>

#include "model/mesh_object.h"

// Drops each attribute, face-material list, smoothing-group list and line
// that does not fit the object (a count that differs from what it indexes,
// an index out of range, a value that is not a finite number), and each
// material's texture that does not fit the model. Returns the names of what
// was dropped, separated by ", "; empty when everything fits. Run it before
// faces are dropped: it checks against the face table as read.
std::string dropUnfittingAppearance(Model& model);

// Removes the face entries of per-face and per-corner data for the faces
// whose `kept` entry is false, as the face table itself loses them.
void keepFacesOfAppearance(MeshObject& object, const std::vector<bool>& kept);
