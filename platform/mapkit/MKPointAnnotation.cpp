#include "mapkit/MKPointAnnotation.h"

VX_REGISTER_CREATABLE_CLASS(MKPointAnnotation);
