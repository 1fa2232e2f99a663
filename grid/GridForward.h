#pragma once

// Forward declarations of the grid engine's classes, for headers that only name them.

struct LGridRow;

class LGridCoord;
class LGridCoordMutable;
class LGridBorderStyle;
class LGridColourBlender;
class LGridLineStyle;
class LGridShadow;
class LGridCellStyle;
class LGridColRowStyle;
class LGridGradient;
class LGridBlockQueue;
class LatticeGrid;
class LGridCell;
class LGridCellBorder;
class LGridCellPool;
class LGridDataSourceDelegateManager;
class LGridLayer;
class LGridLayerContent;
class LGridScrollIndicatorLayer;
class LGridSection;
class LGridSectionHeaderStyle;
class LGridDataSource;
class LGridDelegate;
class LGridSectionHeader;
class LGridCompositeSectionHeader;
class LGridDoubleTapGestureRecognizer;
