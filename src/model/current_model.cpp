#include "model/current_model.h"

Model currentModel;

void resetCurrentModel() { currentModel.clear(); }
