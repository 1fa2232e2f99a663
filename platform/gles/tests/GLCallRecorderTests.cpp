#include "gles/GLCallRecorder.h"

#include "gles/EAGLContext.h"
#include "gles/SoftwareRendering.h"

#include <gtest/gtest.h>

TEST(GLCallRecorder, RecordsCallsAndFakesResultsOrForwardsToGL)
{
    {
        GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
        GLuint names[2] = {};
        gl().GenTextures(2, names);
        EXPECT_EQ(names[0], 1u);
        EXPECT_EQ(names[1], 2u);
        GLint status = 0;
        gl().GetShaderiv(3, GL_COMPILE_STATUS, &status);
        EXPECT_EQ(status, GL_TRUE);
        gl().UseProgram(7);
        gl().BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(gl().GetUniformLocation(7, "zoomX"), 0);
        gl().Finish();
        EXPECT_EQ(recorder.callsTo({ "UseProgram", "BlendFunc", "GetUniformLocation", "Finish" }),
            (std::vector<std::string> { "UseProgram(7)",
                GLCallRecorder::format("BlendFunc", GL_ONE, GL_ONE_MINUS_SRC_ALPHA), "GetUniformLocation(7, \"zoomX\")",
                "Finish()" }));
        EXPECT_EQ(recorder.count("GenTextures"), 1u);
        EXPECT_EQ(recorder.calls().front(), "GenTextures(2, p)");
    }
    EXPECT_EQ(&gl(), &GLFunctionTable::real());

    preferSoftwareRendering();
    auto context = EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES2);
    ASSERT_TRUE(EAGLContext::setCurrentContext(context));
    GLCallRecorder recorder(GLCallRecorder::Mode::Forward);
    GLuint texture = 0;
    gl().GenTextures(1, &texture);
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(recorder.count("GenTextures"), 1u);
    EAGLContext::setCurrentContext(nullptr);
}
