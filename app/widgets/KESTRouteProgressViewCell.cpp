#include "app/widgets/KESTRouteProgressViewCell.h"

VX_REGISTER_CLASS(KESTRouteProgressViewCell);
