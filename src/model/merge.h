#pragma once

#include <cstdint>

#include "model/mesh_object.h"

// Joins objects into one: vertex tables one after another, each face index
// shifted by the vertices of all objects before its own. Bounds, centre,
// origin and transform are left unset; the OFF writer does not read them.
MeshObject mergeObjects(const Model& objects);
