#pragma once
// Statistics of an object and of the world as text lines; the debug dumps and
// tessera-tool's info command print the same lines.

#include <string>

#include "model/mesh_object.h"
#include "model/world.h"

// Six lines, then one for each part of its appearance the object has.
std::string formatObjectStatistics(const MeshObject& object);
// The materials and textures a model holds; nothing for a model without.
// "Frames = N" and the named runs of frames ("Animations = stand 40, run 6")
// for a model whose vertices are animated, its scene's animations and their
// lengths ("Animations = walk 1.20 s") for one whose nodes are; empty otherwise.
std::string formatModelFrames(const Model& model);
std::string formatModelAppearance(const Model& model);
std::string formatWorldStatistics(const World& w);             // nine lines

// Write those lines to the debug output.
void dumpObject(const MeshObject& object);
void dumpWorld(const World& world);
