#pragma once

class CAEAGLLayer;
class EAGLContext;
class GLCallRecorder;
struct GLFunctionTable;
