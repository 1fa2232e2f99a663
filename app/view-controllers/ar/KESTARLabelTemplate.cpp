#include "app/view-controllers/ar/KESTARLabelTemplate.h"

VX_REGISTER_CLASS(KESTARLabelTemplate);
