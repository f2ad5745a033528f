#include "platform/FRenderDeviceGl.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace {

// Core 1.1 entry points are loaded like the rest, so nothing links libGL.
using GetStringFn = const GLubyte*(APIENTRYP)(GLenum);
using GetIntegervFn = void(APIENTRYP)(GLenum, GLint*);
using GetErrorFn = GLenum(APIENTRYP)();
using EnableFn = void(APIENTRYP)(GLenum);
using BlendFuncFn = void(APIENTRYP)(GLenum, GLenum);
using ViewportFn = void(APIENTRYP)(GLint, GLint, GLsizei, GLsizei);
using ClearColorFn = void(APIENTRYP)(GLfloat, GLfloat, GLfloat, GLfloat);
using ClearFn = void(APIENTRYP)(GLbitfield);
using GenTexturesFn = void(APIENTRYP)(GLsizei, GLuint*);
using BindTextureFn = void(APIENTRYP)(GLenum, GLuint);
using TexParameteriFn = void(APIENTRYP)(GLenum, GLenum, GLint);
using TexImage2DFn = void(APIENTRYP)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                                     const void*);
using DeleteTexturesFn = void(APIENTRYP)(GLsizei, const GLuint*);
using DrawArraysFn = void(APIENTRYP)(GLenum, GLint, GLsizei);
using PixelStoreiFn = void(APIENTRYP)(GLenum, GLint);
using ReadPixelsFn = void(APIENTRYP)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
using ScissorFn = void(APIENTRYP)(GLint, GLint, GLsizei, GLsizei);

constexpr GLenum k_gpuMemoryDedicatedNvx = 0x9047;   // kB
constexpr int k_glxRendererVideoMemoryMesa = 0x8187; // MB

const char* const k_vertexShader = R"(#version 120
attribute vec2 a_position;
attribute vec4 a_colour;
attribute vec2 a_texCoord;
attribute float a_unit;
uniform vec2 u_scale;
varying vec4 v_colour;
varying vec2 v_texCoord;
varying float v_unit;
void main()
{
    gl_Position = vec4(a_position * u_scale - 1.0, 0.0, 1.0);
    // The colour word's bytes are B, G, R, A.
    v_colour = a_colour.bgra;
    v_texCoord = a_texCoord;
    v_unit = a_unit;
}
)";

const char* const k_colouredFragment = R"(#version 120
varying vec4 v_colour;
void main()
{
    gl_FragColor = v_colour;
}
)";

// Several textures are bound at once, so that shapes of different pictures
// share one draw; each vertex names its texture unit.
std::string texturedFragment(int32_t units)
{
    std::string source = "#version 120\n";
    for (int32_t i = 0; i < units; ++i)
        source += "uniform sampler2D u_texture" + std::to_string(i) + ";\n";
    source += "varying vec4 v_colour;\nvarying vec2 v_texCoord;\nvarying float v_unit;\n"
              "vec4 texel()\n{\n";
    for (int32_t i = 0; i + 1 < units; ++i) {
        source += "    if (v_unit < " + std::to_string(i) + ".5) return texture2D(u_texture" +
                  std::to_string(i) + ", v_texCoord);\n";
    }
    source += "    return texture2D(u_texture" + std::to_string(units - 1) +
              ", v_texCoord);\n}\n"
              "void main()\n{\n    gl_FragColor = texel() * v_colour;\n}\n";
    return source;
}

// What the device draws from: a textured vertex and its texture unit.
struct UnitVertex
{
    FTexturedVertex vertex;
    float unit;
};

enum Attribute : GLuint { k_attrPosition = 0, k_attrColour = 1, k_attrTexCoord = 2, k_attrUnit = 3 };

} // namespace

struct FRenderDeviceGl::Api
{
    GetStringFn GetString;
    GetIntegervFn GetIntegerv;
    GetErrorFn GetError;
    EnableFn Enable;
    EnableFn Disable;
    BlendFuncFn BlendFunc;
    ViewportFn Viewport;
    ScissorFn Scissor;
    ClearColorFn ClearColor;
    ClearFn Clear;
    GenTexturesFn GenTextures;
    BindTextureFn BindTexture;
    TexParameteriFn TexParameteri;
    TexImage2DFn TexImage2D;
    DeleteTexturesFn DeleteTextures;
    DrawArraysFn DrawArrays;
    PixelStoreiFn PixelStorei;
    ReadPixelsFn ReadPixels;
    PFNGLCREATESHADERPROC CreateShader;
    PFNGLSHADERSOURCEPROC ShaderSource;
    PFNGLCOMPILESHADERPROC CompileShader;
    PFNGLGETSHADERIVPROC GetShaderiv;
    PFNGLGETSHADERINFOLOGPROC GetShaderInfoLog;
    PFNGLDELETESHADERPROC DeleteShader;
    PFNGLCREATEPROGRAMPROC CreateProgram;
    PFNGLATTACHSHADERPROC AttachShader;
    PFNGLBINDATTRIBLOCATIONPROC BindAttribLocation;
    PFNGLLINKPROGRAMPROC LinkProgram;
    PFNGLGETPROGRAMIVPROC GetProgramiv;
    PFNGLGETPROGRAMINFOLOGPROC GetProgramInfoLog;
    PFNGLDELETEPROGRAMPROC DeleteProgram;
    PFNGLUSEPROGRAMPROC UseProgram;
    PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation;
    PFNGLUNIFORM1IPROC Uniform1i;
    PFNGLUNIFORM2FPROC Uniform2f;
    PFNGLGENBUFFERSPROC GenBuffers;
    PFNGLDELETEBUFFERSPROC DeleteBuffers;
    PFNGLBINDBUFFERPROC BindBuffer;
    PFNGLBUFFERDATAPROC BufferData;
    PFNGLBUFFERSUBDATAPROC BufferSubData;
    PFNGLVERTEXATTRIBPOINTERPROC VertexAttribPointer;
    PFNGLENABLEVERTEXATTRIBARRAYPROC EnableVertexAttribArray;
    PFNGLDISABLEVERTEXATTRIBARRAYPROC DisableVertexAttribArray;
    PFNGLACTIVETEXTUREPROC ActiveTexture;

    // Fills every entry; the name of the first one missing, or null.
    const char* load()
    {
        const char* missing = nullptr;
        auto get = [&missing](auto& entry, const char* name) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(SDL_GL_GetProcAddress(name));
            if (entry == nullptr && missing == nullptr) missing = name;
        };
        get(GetString, "glGetString");
        get(GetIntegerv, "glGetIntegerv");
        get(GetError, "glGetError");
        get(Enable, "glEnable");
        get(Disable, "glDisable");
        get(BlendFunc, "glBlendFunc");
        get(Viewport, "glViewport");
        get(Scissor, "glScissor");
        get(ClearColor, "glClearColor");
        get(Clear, "glClear");
        get(GenTextures, "glGenTextures");
        get(BindTexture, "glBindTexture");
        get(TexParameteri, "glTexParameteri");
        get(TexImage2D, "glTexImage2D");
        get(DeleteTextures, "glDeleteTextures");
        get(DrawArrays, "glDrawArrays");
        get(PixelStorei, "glPixelStorei");
        get(ReadPixels, "glReadPixels");
        get(CreateShader, "glCreateShader");
        get(ShaderSource, "glShaderSource");
        get(CompileShader, "glCompileShader");
        get(GetShaderiv, "glGetShaderiv");
        get(GetShaderInfoLog, "glGetShaderInfoLog");
        get(DeleteShader, "glDeleteShader");
        get(CreateProgram, "glCreateProgram");
        get(AttachShader, "glAttachShader");
        get(BindAttribLocation, "glBindAttribLocation");
        get(LinkProgram, "glLinkProgram");
        get(GetProgramiv, "glGetProgramiv");
        get(GetProgramInfoLog, "glGetProgramInfoLog");
        get(DeleteProgram, "glDeleteProgram");
        get(UseProgram, "glUseProgram");
        get(GetUniformLocation, "glGetUniformLocation");
        get(Uniform1i, "glUniform1i");
        get(Uniform2f, "glUniform2f");
        get(GenBuffers, "glGenBuffers");
        get(DeleteBuffers, "glDeleteBuffers");
        get(BindBuffer, "glBindBuffer");
        get(BufferData, "glBufferData");
        get(BufferSubData, "glBufferSubData");
        get(VertexAttribPointer, "glVertexAttribPointer");
        get(EnableVertexAttribArray, "glEnableVertexAttribArray");
        get(DisableVertexAttribArray, "glDisableVertexAttribArray");
        get(ActiveTexture, "glActiveTexture");
        return missing;
    }
};

FRenderDeviceGl::FRenderDeviceGl() : m_gl(std::make_unique<Api>()) {}

std::unique_ptr<FRenderDeviceGl> FRenderDeviceGl::create(std::string& error)
{
    std::unique_ptr<FRenderDeviceGl> device(new FRenderDeviceGl());
    if (!device->init(error)) return nullptr;
    return device;
}

bool FRenderDeviceGl::init(std::string& error)
{
    if (SDL_GL_GetCurrentContext() == nullptr) {
        error = "no current OpenGL context";
        return false;
    }
    if (const char* missing = m_gl->load()) {
        error = std::string("OpenGL entry point missing: ") + missing;
        return false;
    }
    GLint units = 0;
    m_gl->GetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    m_units = std::max(1, std::min<int32_t>(units, k_maxTextureUnits));
    if (!buildProgram(m_programs[k_vertexColoured], false, error) ||
        !buildProgram(m_programs[k_vertexTextured], true, error))
        return false;
    m_gl->GenBuffers(1, &m_vertexBuffer);
    GLint maxSize = 0;
    m_gl->GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    m_maxTextureSize = maxSize;
    return true;
}

bool FRenderDeviceGl::buildProgram(Program& program, bool textured, std::string& error)
{
    auto compile = [&](GLenum type, const char* source) -> GLuint {
        const GLuint shader = m_gl->CreateShader(type);
        m_gl->ShaderSource(shader, 1, &source, nullptr);
        m_gl->CompileShader(shader);
        GLint ok = 0;
        m_gl->GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok == GL_FALSE) {
            char log[512] = {};
            m_gl->GetShaderInfoLog(shader, sizeof(log), nullptr, log);
            error = std::string("shader does not compile: ") + log;
            m_gl->DeleteShader(shader);
            return 0;
        }
        return shader;
    };
    const GLuint vertex = compile(GL_VERTEX_SHADER, k_vertexShader);
    if (vertex == 0) return false;
    const std::string texturedSource = texturedFragment(m_units);
    const GLuint fragment =
        compile(GL_FRAGMENT_SHADER, textured ? texturedSource.c_str() : k_colouredFragment);
    if (fragment == 0) {
        m_gl->DeleteShader(vertex);
        return false;
    }
    program.id = m_gl->CreateProgram();
    m_gl->AttachShader(program.id, vertex);
    m_gl->AttachShader(program.id, fragment);
    m_gl->BindAttribLocation(program.id, k_attrPosition, "a_position");
    m_gl->BindAttribLocation(program.id, k_attrColour, "a_colour");
    if (textured) {
        m_gl->BindAttribLocation(program.id, k_attrTexCoord, "a_texCoord");
        m_gl->BindAttribLocation(program.id, k_attrUnit, "a_unit");
    }
    m_gl->LinkProgram(program.id);
    m_gl->DeleteShader(vertex);
    m_gl->DeleteShader(fragment);
    GLint ok = 0;
    m_gl->GetProgramiv(program.id, GL_LINK_STATUS, &ok);
    if (ok == GL_FALSE) {
        char log[512] = {};
        m_gl->GetProgramInfoLog(program.id, sizeof(log), nullptr, log);
        error = std::string("shader program does not link: ") + log;
        return false;
    }
    program.scale = m_gl->GetUniformLocation(program.id, "u_scale");
    if (textured) {
        m_gl->UseProgram(program.id);
        for (int32_t i = 0; i < m_units; ++i) {
            const std::string name = "u_texture" + std::to_string(i);
            m_gl->Uniform1i(m_gl->GetUniformLocation(program.id, name.c_str()), i);
        }
    }
    return true;
}

FRenderDeviceGl::~FRenderDeviceGl()
{
    if (SDL_GL_GetCurrentContext() == nullptr) return;
    for (Program& program : m_programs) {
        if (program.id != 0) m_gl->DeleteProgram(program.id);
    }
    if (m_vertexBuffer != 0) m_gl->DeleteBuffers(1, &m_vertexBuffer);
}

std::string FRenderDeviceGl::rendererName() const
{
    const auto* renderer = reinterpret_cast<const char*>(m_gl->GetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(m_gl->GetString(GL_VERSION));
    return std::string(renderer != nullptr ? renderer : "?") + ", OpenGL " +
           (version != nullptr ? version : "?");
}

int32_t FRenderDeviceGl::colourBits() const
{
    int32_t bits = 0;
    for (const GLenum channel : {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS}) {
        GLint value = 0;
        m_gl->GetIntegerv(channel, &value);
        if (value > 0) bits += value;
    }
    return bits;
}

bool FRenderDeviceGl::hardwareRasterization() const
{
    int accelerated = 0;
    if (SDL_GL_GetAttribute(SDL_GL_ACCELERATED_VISUAL, &accelerated) == 0 && accelerated == 0) return false;
    const auto* renderer = reinterpret_cast<const char*>(m_gl->GetString(GL_RENDERER));
    if (renderer == nullptr) return false;
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SWR"})
        if (std::strstr(renderer, software) != nullptr) return false;
    return true;
}

std::string FRenderDeviceGl::featureLines() const
{
    auto text = [this](GLenum name) {
        const auto* value = reinterpret_cast<const char*>(m_gl->GetString(name));
        return std::string(value != nullptr ? value : "?");
    };
    GLint units = 0;
    m_gl->GetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    return "Renderer: " + text(GL_RENDERER) + "\nVendor: " + text(GL_VENDOR) +
           "\nVersion: " + text(GL_VERSION) + "\nShading language: " + text(GL_SHADING_LANGUAGE_VERSION) +
           "\nMaximum texture size: " + std::to_string(m_maxTextureSize) +
           "\nTexture units: " + std::to_string(units) + "\nColour bits: " + std::to_string(colourBits()) +
           "\nHardware rasterization: " + (hardwareRasterization() ? "yes" : "no") + "\n";
}

int64_t FRenderDeviceGl::queryVideoMemory() const
{
    const auto* extensions = reinterpret_cast<const char*>(m_gl->GetString(GL_EXTENSIONS));
    if (extensions != nullptr && std::strstr(extensions, "GL_NVX_gpu_memory_info") != nullptr) {
        GLint kilobytes = 0;
        m_gl->GetIntegerv(k_gpuMemoryDedicatedNvx, &kilobytes);
        if (m_gl->GetError() == GL_NO_ERROR && kilobytes > 0) return static_cast<int64_t>(kilobytes) * 1024;
    }
    // Only a GLX context answers the Mesa renderer query.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        using QueryFn = int (*)(int attribute, unsigned int* value);
        auto query = reinterpret_cast<QueryFn>(SDL_GL_GetProcAddress("glXQueryCurrentRendererIntegerMESA"));
        unsigned int megabytes = 0;
        if (query != nullptr && query(k_glxRendererVideoMemoryMesa, &megabytes) != 0 && megabytes > 0)
            return static_cast<int64_t>(megabytes) << 20;
    }
    return 0;
}

uint32_t FRenderDeviceGl::createTexture(int32_t width, int32_t height, const uint8_t* bgraRows)
{
    if (width <= 0 || height <= 0 || width > m_maxTextureSize || height > m_maxTextureSize) return 0;
    // Only the errors of this upload count.
    for (int i = 0; i < 16 && m_gl->GetError() != GL_NO_ERROR; ++i) {
    }
    GLuint texture = 0;
    m_gl->GenTextures(1, &texture);
    m_gl->BindTexture(GL_TEXTURE_2D, texture);
    m_gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    m_gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    m_gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    m_gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    m_gl->PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    m_gl->TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgraRows);
    const bool failed = m_gl->GetError() != GL_NO_ERROR;
    m_gl->BindTexture(GL_TEXTURE_2D, m_boundUnits[0]);
    if (failed) {
        m_gl->DeleteTextures(1, &texture);
        return 0;
    }
    return texture;
}

void FRenderDeviceGl::releaseTexture(uint32_t texture)
{
    if (texture == 0) return;
    flush();
    for (uint32_t& bound : m_boundUnits) {
        if (bound == texture) bound = 0;
    }
    const GLuint name = texture;
    m_gl->DeleteTextures(1, &name);
}

void FRenderDeviceGl::beginFrame(FPointI clientSize)
{
    m_clientSize = clientSize;
    m_batch.clear();
    m_segments.clear();
    // Nothing of the last frame carries over.
    m_gl->Disable(GL_DEPTH_TEST);
    m_gl->Disable(GL_CULL_FACE);
    m_gl->Disable(GL_SCISSOR_TEST);
    m_gl->Enable(GL_BLEND);
    m_gl->BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m_blend = k_blendAlpha;
    m_drawnBlend = k_blendAlpha;
    for (int32_t i = 0; i < m_units; ++i) {
        m_gl->ActiveTexture(GL_TEXTURE0 + i);
        m_gl->BindTexture(GL_TEXTURE_2D, 0);
        m_boundUnits[i] = 0;
    }
    m_gl->ActiveTexture(GL_TEXTURE0);
    m_gl->BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    m_currentProgram = -1;
}

void FRenderDeviceGl::setViewport(const FRectI& rect, FPointI projection)
{
    flush();
    m_gl->Viewport(rect.left, m_clientSize.y - rect.bottom, rect.right - rect.left, rect.bottom - rect.top);
    m_gl->Scissor(rect.left, m_clientSize.y - rect.bottom, rect.right - rect.left, rect.bottom - rect.top);
    m_scale[0] = projection.x > 0 ? 2.0f / static_cast<float>(projection.x) : 0.0f;
    m_scale[1] = projection.y > 0 ? 2.0f / static_cast<float>(projection.y) : 0.0f;
    m_currentProgram = -1;
}

void FRenderDeviceGl::clear(uint32_t colour)
{
    flush();
    // Like the clear of a viewport: the strips around the picture stay.
    m_gl->Enable(GL_SCISSOR_TEST);
    m_gl->ClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>(colour >> 24) / 255.0f);
    m_gl->Clear(GL_COLOR_BUFFER_BIT);
    m_gl->Disable(GL_SCISSOR_TEST);
}

void FRenderDeviceGl::setBlendMode(FBlendMode mode)
{
    m_blend = mode;
}

void FRenderDeviceGl::useProgram(FVertexKind kind)
{
    if (m_currentProgram == kind) return;
    const Program& program = m_programs[kind];
    m_gl->UseProgram(program.id);
    m_gl->Uniform2f(program.scale, m_scale[0], m_scale[1]);
    m_currentProgram = kind;
}

size_t FRenderDeviceGl::strideOf(FVertexKind kind)
{
    return kind == k_vertexTextured ? sizeof(UnitVertex) : sizeof(FColouredVertex);
}

FRenderDeviceGl::Segment& FRenderDeviceGl::segmentFor(FVertexKind kind, uint32_t texture, bool lines,
                                                      float& unit)
{
    unit = 0.0f;
    if (!m_segments.empty()) {
        Segment& last = m_segments.back();
        if (!lines && !last.lines && last.kind == kind && last.blend == m_blend) {
            if (kind != k_vertexTextured) return last;
            for (int32_t i = 0; i < last.textureCount; ++i) {
                if (last.textures[i] == texture) {
                    unit = static_cast<float>(i);
                    return last;
                }
            }
            if (last.textureCount < m_units) {
                unit = static_cast<float>(last.textureCount);
                last.textures[last.textureCount++] = texture;
                return last;
            }
        }
    }
    // Vertices of one segment share a stride: start it on a multiple of it.
    const size_t stride = strideOf(kind);
    m_batch.resize((m_batch.size() + stride - 1) / stride * stride);
    Segment segment{kind, m_blend, lines, m_batch.size(), 0, {}, 0};
    if (kind == k_vertexTextured) segment.textures[segment.textureCount++] = texture;
    m_segments.push_back(segment);
    return m_segments.back();
}

void FRenderDeviceGl::draw(FPrimitive primitive, FVertexKind kind, uint32_t texture, const void* vertices,
                           int32_t vertexCount)
{
    if (vertexCount <= 0 || (primitive == k_primTriangleFan && vertexCount < 3)) return;
    if (kind == k_vertexColoured) texture = 0;
    float unit = 0.0f;
    Segment& segment = segmentFor(kind, texture, primitive == k_primLineStrip, unit);
    const size_t inStride = kind == k_vertexTextured ? sizeof(FTexturedVertex) : sizeof(FColouredVertex);
    const size_t outStride = strideOf(kind);
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    auto put = [&](size_t at, int32_t index) {
        std::memcpy(&m_batch[at], bytes + inStride * index, inStride);
        if (kind == k_vertexTextured)
            std::memcpy(&m_batch[at + offsetof(UnitVertex, unit)], &unit, sizeof(unit));
    };
    // Fans join the list as triangles (first, i - 1, i).
    const bool fan = primitive == k_primTriangleFan;
    const size_t count = fan ? (static_cast<size_t>(vertexCount) - 2) * 3 : static_cast<size_t>(vertexCount);
    size_t at = m_batch.size();
    m_batch.resize(at + count * outStride);
    if (fan) {
        for (int32_t i = 2; i < vertexCount; ++i) {
            put(at, 0);
            put(at + outStride, i - 1);
            put(at + 2 * outStride, i);
            at += 3 * outStride;
        }
    } else {
        for (int32_t i = 0; i < vertexCount; ++i, at += outStride)
            put(at, i);
    }
    segment.vertexCount += static_cast<int32_t>(count);
}

void FRenderDeviceGl::flush()
{
    if (m_segments.empty()) {
        m_batch.clear();
        return;
    }
    // The whole batch goes up in one store; the driver may keep drawing from
    // the last one while this one fills.
    m_gl->BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_batch.size()), m_batch.data(),
                     GL_STREAM_DRAW);
    m_gl->EnableVertexAttribArray(k_attrPosition);
    m_gl->EnableVertexAttribArray(k_attrColour);
    for (const Segment& segment : m_segments) {
        useProgram(segment.kind);
        if (segment.blend != m_drawnBlend) {
            m_gl->BlendFunc(GL_SRC_ALPHA, segment.blend == k_blendAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
            m_drawnBlend = segment.blend;
        }
        for (int32_t i = 0; i < segment.textureCount; ++i) {
            if (segment.textures[i] == m_boundUnits[i]) continue;
            m_gl->ActiveTexture(GL_TEXTURE0 + i);
            m_gl->BindTexture(GL_TEXTURE_2D, segment.textures[i]);
            m_boundUnits[i] = segment.textures[i];
        }
        m_gl->ActiveTexture(GL_TEXTURE0);
        const bool textured = segment.kind == k_vertexTextured;
        const auto stride = static_cast<GLsizei>(strideOf(segment.kind));
        const uint8_t* base = nullptr;
        base += segment.offset;
        m_gl->VertexAttribPointer(k_attrPosition, 2, GL_FLOAT, GL_FALSE, stride, base);
        m_gl->VertexAttribPointer(k_attrColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                                  base + offsetof(FColouredVertex, colour));
        if (textured) {
            m_gl->EnableVertexAttribArray(k_attrTexCoord);
            m_gl->VertexAttribPointer(k_attrTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                                      base + offsetof(FTexturedVertex, u));
            m_gl->EnableVertexAttribArray(k_attrUnit);
            m_gl->VertexAttribPointer(k_attrUnit, 1, GL_FLOAT, GL_FALSE, stride,
                                      base + offsetof(UnitVertex, unit));
        } else {
            m_gl->DisableVertexAttribArray(k_attrTexCoord);
            m_gl->DisableVertexAttribArray(k_attrUnit);
        }
        m_gl->DrawArrays(segment.lines ? GL_LINE_STRIP : GL_TRIANGLES, 0, segment.vertexCount);
    }
    m_batch.clear();
    m_segments.clear();
}

void FRenderDeviceGl::endFrame()
{
    flush();
}

std::vector<uint8_t> FRenderDeviceGl::readPixels(const FRectI& rect) const
{
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * 4);
    std::vector<uint8_t> topDown(rows.size());
    m_gl->PixelStorei(GL_PACK_ALIGNMENT, 1);
    m_gl->ReadPixels(rect.left, m_clientSize.y - rect.bottom, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                     rows.data());
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&topDown[y * rowBytes], &rows[(height - 1 - y) * rowBytes], rowBytes);
    return topDown;
}
