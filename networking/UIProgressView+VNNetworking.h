#pragma once

#include "UIProgressView.h"

class NSURLSessionTask;

// Moves a progress view with the bytes a session task sends or receives, until the task
// completes. Call on the main thread; the task's counters change on its delegate queue, so
// the view is updated asynchronously on the main queue.
namespace UIProgressView_VNNetworking {

void setProgressWithUploadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated);
void setProgressWithDownloadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated);

// Whether upload and download progress changes animate (absent reads as false).
bool vn_uploadProgressAnimated(const Ref<UIProgressView>& view);
void vn_setUploadProgressAnimated(const Ref<UIProgressView>& view, bool animated);
bool vn_downloadProgressAnimated(const Ref<UIProgressView>& view);
void vn_setDownloadProgressAnimated(const Ref<UIProgressView>& view, bool animated);

} // namespace UIProgressView_VNNetworking
