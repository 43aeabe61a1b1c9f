#include "formats/model_dispatch.h"

#include "formats/binary_formats.h"
#include "formats/dxf_format.h"
#include "formats/obj_format.h"
#include "formats/off_format.h"
#include "formats/vtk_format.h"
#include "formats/reader_support.h"
#include "model/current_model.h"
#include "platform/platform.h"
#include "settings/recent_files.h"

FormatId currentFormat = formatUnknown;
bool modelLoaded = false;

ModelReader readerForFormat(FormatId format) {
  switch (format) {
    case formatOff: return readOffFile;
    case formatWavefront: return readObjFile;
    case formatVtk: return readVtkFile;
    case formatDxf: return readDxfFile;
    case format3DStudio: return read3dsFile;
    case formatTruespace: return readCobFile;
    case formatLightwave: return readLwoFile;
    case formatQuake2: return readMd2File;
    case formatQuake1: return readMdlFile;
    case formatDirectX: return readXFile;
    case formatUnknown: break;
  }
  return nullptr;
}

void stripSurroundingQuotes(std::string& name) {
  if (name.empty() || name[0] != '"') return;
  name.erase(0, 1);
  const std::size_t closing = name.find('"');
  if (closing != std::string::npos) name.erase(closing);
}

std::optional<Model> readModelFile(const char* name, FormatId& format) {
  format = formatOfName(name);
  const ModelReader reader = readerForFormat(format);
  if (reader == nullptr) {
    format = formatUnknown;
    int x = 0, y = 0;
    noticePosition(x, y);
    platformShowNotice(NoticeKind::FileNotSupported, x, y);
    return std::nullopt;
  }
  lastReadFailure = ReadFailure::None;
  const std::int32_t shownCount = objectCount;
  std::optional<Model> model = reader(name);
  if (model && !holdsFiniteGeometry(*model)) {
    objectCount = shownCount;  // the model on display stays
    return refuseDamaged(name);
  }
  return model;
}

std::optional<Model> openModelFile(std::string& name, int fromRecentList) {
  stripSurroundingQuotes(name);
  FormatId format = formatUnknown;
  std::optional<Model> model = readModelFile(name.c_str(), format);
  if (format == formatUnknown) return std::nullopt;
  if (model) {
    currentFormat = format;
    modelLoaded = true;
  }
  if (fromRecentList == 0) {
    addRecentFile(name);
    writeRecentList();
  }
  platformRequestRedraw();
  return model;
}

void resetDispatchState() {
  currentFormat = formatUnknown;
  modelLoaded = false;
  lastReadFailure = ReadFailure::None;
}
