#pragma once

// The tile loader MKTileOverlay uses by default once a map exists: a GET through the shared
// URL session; a non-2xx answer is an NSURLErrorDomain error (bad server response).
void MKInstallURLSessionTileLoader();
