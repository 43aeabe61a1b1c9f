#include "model/current_model.h"

Model currentModel;
std::int32_t objectCount = 0;

void resetCurrentModel() {
  currentModel.clear();
  objectCount = 0;
}
