#pragma once

#include "app/core/KESTLiveDataManager.h"

// What the pieces of KESTLiveDataManager's implementation share beyond the class itself.
namespace KESTLiveDataManagerInternal {

// The presenter setAlertPresenter installed (empty when none), for the search's alert.
KESTLiveDataManager::AlertPresenter alertPresenter();

} // namespace KESTLiveDataManagerInternal
