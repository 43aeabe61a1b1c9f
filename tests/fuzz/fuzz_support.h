#pragma once
// Shared by the fuzz targets: a private configuration folder and a scratch
// file to hand the readers, which take file names.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/mesh_object.h"
#include "support/temp_dir.h"

// Points the configuration folder at a fresh temporary one; returns its path.
const std::string& fuzzConfigHome();

// Writes prefix + data to a scratch file with the given name and returns its path.
std::string writeFuzzFile(const std::string& name, const std::string& prefix, const std::uint8_t* data,
                          std::size_t size);

// Traps unless every face index of every object lies inside its vertex table
// and the face table is whole.
void checkModel(const Model& model);
