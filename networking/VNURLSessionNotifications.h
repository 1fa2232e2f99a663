#pragma once

// Notifications about session tasks, posted on the main queue with the task as object.
inline constexpr const char* VNNetworkingTaskDidResumeNotification = "com.vnnet.networking.task.start";
inline constexpr const char* VNNetworkingTaskDidSuspendNotification = "com.vnnet.networking.task.suspend";
// Its user info holds the finish keys below.
inline constexpr const char* VNNetworkingTaskDidCompleteNotification = "com.vnnet.networking.task.finish";
// Posted on the session's delegate queue with the session as object.
inline constexpr const char* VNURLSessionDidInvalidateNotification = "com.vnnet.networking.session.invalidate";
// Posted on the delegate queue with the download task as object and the file manager error's user info.
inline constexpr const char* VNURLSessionDownloadTaskDidFailToMoveFileNotification
    = "com.vnnet.networking.session.download.file-manager-error";

inline constexpr const char* VNNetworkingTaskDidCompleteResponseSerializerKey
    = "com.vnnet.networking.task.finish.responseserializer";
inline constexpr const char* VNNetworkingTaskDidCompleteAssetPathKey = "com.vnnet.networking.task.finish.assetpath";
inline constexpr const char* VNNetworkingTaskDidCompleteResponseDataKey
    = "com.vnnet.networking.task.finish.responsedata";
inline constexpr const char* VNNetworkingTaskDidCompleteSerializedResponseKey
    = "com.vnnet.networking.task.finish.serializedresponse";
inline constexpr const char* VNNetworkingTaskDidCompleteErrorKey = "com.vnnet.networking.task.finish.error";
