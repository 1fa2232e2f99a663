#include "app/view-controllers/gallery/KESTGalleryCollectionViewCell.h"

VX_REGISTER_CLASS(KESTGalleryCollectionViewCell);
