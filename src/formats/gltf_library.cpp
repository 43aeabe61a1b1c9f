// The glTF parser's own code, built here once. It never decodes or opens a
// picture (the reader does), and every file it reads goes through the
// callbacks the reader gives it.
// Its writing code wants the file streams even when it is given no file system.
#include <fstream>

#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>
