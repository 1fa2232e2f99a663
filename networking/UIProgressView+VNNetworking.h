#pragma once

#include "uikit/UIProgressView.h"

class NSURLSessionTask;
class VNURLConnectionOperation;

// Moves a progress view with the bytes a session task or a connection operation sends or
// receives. Call on the main thread; the counters change on other threads, so the view is
// updated asynchronously on the main queue.
namespace UIProgressView_VNNetworking {

void setProgressWithUploadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated);
void setProgressWithDownloadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated);

// Chains onto the operation's upload (or download) progress block: the block set before still
// runs first, then the view (held weakly) moves to total bytes / total expected once the
// total expected is known (above 0).
void setProgressWithUploadProgressOfOperationAnimated(
    const Ref<UIProgressView>& view, const Ref<VNURLConnectionOperation>& operation, bool animated);
void setProgressWithDownloadProgressOfOperationAnimated(
    const Ref<UIProgressView>& view, const Ref<VNURLConnectionOperation>& operation, bool animated);

// Whether upload and download progress changes animate (absent reads as false).
bool vn_uploadProgressAnimated(const Ref<UIProgressView>& view);
void vn_setUploadProgressAnimated(const Ref<UIProgressView>& view, bool animated);
bool vn_downloadProgressAnimated(const Ref<UIProgressView>& view);
void vn_setDownloadProgressAnimated(const Ref<UIProgressView>& view, bool animated);

} // namespace UIProgressView_VNNetworking
