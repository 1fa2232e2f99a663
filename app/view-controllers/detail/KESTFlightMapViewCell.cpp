#include "app/view-controllers/detail/KESTFlightMapViewCell.h"

VX_REGISTER_CLASS(KESTFlightMapViewCell);
