#include "platform/sdl/gl_draw.h"

#include "platform/engine/resources.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace quorvel::sdl {
namespace {

constexpr const char* kSurfaceVs = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec3 aPos2;
layout(location = 4) in vec3 aNormal2;
#if INSTANCED
layout(location = 5) in mat4 aModel;
layout(location = 9) in mat3 aNormalMat;
#define MODEL aModel
#define NORMAL_MAT aNormalMat
#else
uniform mat4 uModel;
uniform mat3 uNormalMat;
#define MODEL uModel
#define NORMAL_MAT uNormalMat
#endif
uniform mat4 uViewProj;
uniform float uBlend;
out vec3 vWorld;
out vec3 vNormal;
out vec2 vUv;
#if VERTEX_LIT
uniform vec4 uDiffuse;
uniform vec3 uAmbient;
uniform vec3 uEmissive;
uniform vec3 uSceneAmbient;
uniform int uLightCount;
uniform vec3 uLightDir[8];
uniform vec3 uLightColour[8];
// The light on either side: a face seen from behind is lit as its reverse. Flat
// shading takes each triangle's light from its first corner.
#if FLAT
flat out vec3 vLightFront;
flat out vec3 vLightBack;
#else
out vec3 vLightFront;
out vec3 vLightBack;
#endif
#endif
void main() {
    vec3 p = mix(aPos, aPos2, uBlend);
    vec3 n = mix(aNormal, aNormal2, uBlend);
    vec4 w = MODEL * vec4(p, 1.0);
    vWorld = w.xyz;
    vNormal = NORMAL_MAT * n;
    vUv = aUv;
#if VERTEX_LIT
    vec3 front = vec3(1.0);
    vec3 back = vec3(1.0);
    if (uLightCount > 0) {
        vec3 nn = normalize(vNormal);
        front = uEmissive + uSceneAmbient * uAmbient;
        back = front;
        for (int i = 0; i < uLightCount; ++i) {
            float d = dot(nn, -uLightDir[i]);
            vec3 c = uDiffuse.rgb * uLightColour[i];
            front += c * max(d, 0.0);
            back += c * max(-d, 0.0);
        }
    }
    vLightFront = clamp(front, 0.0, 1.0);
    vLightBack = clamp(back, 0.0, 1.0);
#endif
    gl_Position = uViewProj * w;
}
)";

// One source, built into a variant per surface kind: what a variant leaves out costs
// nothing per pixel, where a switch on a uniform would still be paid on a software
// renderer that runs both sides of a branch. Under lights that only have a direction,
// the diffuse light is worked out per vertex (the same on a flat face, and the
// classic look on a curved one); highlights stay per pixel.
constexpr const char* kSurfaceFs = R"(
in vec3 vWorld;
in vec3 vNormal;
in vec2 vUv;
#if VERTEX_LIT && FLAT
flat in vec3 vLightFront;
flat in vec3 vLightBack;
#elif VERTEX_LIT
in vec3 vLightFront;
in vec3 vLightBack;
#endif
uniform sampler2D uTex0;
uniform sampler2D uTex1;
uniform sampler2D uTex2;
uniform sampler2D uTex3;
uniform int uStageMode[4];
uniform bool uAdditive;
uniform vec4 uDiffuse;
uniform vec3 uAmbient;
uniform vec3 uSpecular;
uniform vec3 uEmissive;
uniform vec3 uSceneAmbient;
uniform float uOpacity;
uniform int uLightCount;
uniform vec4 uLightPos[8];
uniform vec3 uLightDir[8];
uniform vec3 uLightColour[8];
uniform vec4 uLightParam[8];
uniform vec3 uEye;
uniform mat3 uViewRot;
uniform vec3 uFogColour;
uniform vec2 uFogRange;
out vec4 fragColour;

#if STAGES
// Reflection mapped from the view direction (a sphere map seen from the eye).
vec2 ReflectUv(vec3 n) {
    vec3 r = uViewRot * reflect(normalize(vWorld - uEye), n);
    float m = max(2.0 * sqrt(r.x * r.x + r.y * r.y + (1.0 - r.z) * (1.0 - r.z)), 1e-4);
    return vec2(0.5 + r.x / m, 0.5 - r.y / m);
}

vec3 Stage(int mode, vec3 c, vec4 t) {
    if (mode == 1) return c * t.rgb;
    if (mode == 8) return c * t.rgb * 2.0;
    if (mode == 9) return c + t.rgb;
    return c;
}
#endif

void main() {
    vec3 toEye = uEye - vWorld;
#if LIT || STAGES
#if FLAT
    vec3 n = normalize(cross(dFdx(vWorld), dFdy(vWorld)));
    if (dot(n, toEye) < 0.0) n = -n;
#else
    vec3 n = normalize(vNormal);
    if (!gl_FrontFacing) n = -n;
#endif
#endif
#if BASE
    vec4 base = texture(uTex0, vUv);
#else
    vec4 base = vec4(1.0);
#endif
    vec3 light = vec3(1.0);
    vec3 specular = vec3(0.0);
#if VERTEX_LIT
    light = gl_FrontFacing ? vLightFront : vLightBack;
#if SPECULAR
    vec3 v = normalize(toEye);
    for (int i = 0; i < uLightCount; ++i) {
        vec3 l = -uLightDir[i];
        if (dot(n, l) > 0.0) specular += uSpecular * uLightColour[i] * pow(max(dot(n, normalize(l + v)), 0.0), 24.0);
    }
#endif
#elif LIT
    if (uLightCount > 0) {
        light = uEmissive + uSceneAmbient * uAmbient;
        vec3 v = normalize(toEye);
        for (int i = 0; i < uLightCount; ++i) {
            vec3 l;
            float att = 1.0;
            int type = int(uLightPos[i].w + 0.5);
            if (type == 3) {
                l = -uLightDir[i];
            } else {
                vec3 d = uLightPos[i].xyz - vWorld;
                float dist = length(d);
                l = d / max(dist, 1e-4);
                float range = uLightParam[i].x;
                if (range > 0.0) att = clamp(1.0 - dist / range, 0.0, 1.0);
                if (type == 2) {
                    float cosA = dot(-l, uLightDir[i]);
                    float cone = clamp((cosA - uLightParam[i].w) / max(uLightParam[i].z - uLightParam[i].w, 1e-4),
                                       0.0, 1.0);
                    att *= uLightParam[i].y > 0.0 ? pow(cone, uLightParam[i].y) : cone;
                }
            }
            float diff = max(dot(n, l), 0.0);
            light += uDiffuse.rgb * uLightColour[i] * diff * att;
#if SPECULAR
            if (diff > 0.0)
                specular += uSpecular * uLightColour[i] * pow(max(dot(n, normalize(l + v)), 0.0), 24.0) * att;
#endif
        }
    }
#endif
    vec3 c = base.rgb * clamp(light, 0.0, 1.0);
#if STAGES
    if (uStageMode[1] != 0) c = Stage(uStageMode[1], c, texture(uTex1, uStageMode[1] == 9 ? ReflectUv(n) : vUv));
    if (uStageMode[2] != 0) c = Stage(uStageMode[2], c, texture(uTex2, uStageMode[2] == 9 ? ReflectUv(n) : vUv));
    if (uStageMode[3] != 0) c = Stage(uStageMode[3], c, texture(uTex3, uStageMode[3] == 9 ? ReflectUv(n) : vUv));
#endif
    c += specular;
#if FOG
    float f = clamp((length(toEye) - uFogRange.x) / max(uFogRange.y - uFogRange.x, 1e-3), 0.0, 1.0);
    // Glow fades into the dark; solid surfaces into the fog colour.
    c = uAdditive ? c * (1.0 - f) : mix(c, uFogColour, f);
#endif
    fragColour = vec4(clamp(c, 0.0, 1.0), clamp(base.a * uOpacity, 0.0, 1.0));
}
)";

constexpr const char* kFlatVs = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec2 aUv;
layout(location = 2) in vec4 aColour;
uniform mat4 uMvp;
out vec2 vUv;
// Every quad of the stream has one colour at its four corners: not interpolated.
flat out vec4 vColour;
void main() {
    vUv = aUv;
    vColour = aColour;
    gl_Position = uMvp * vec4(aPos, 1.0);
}
)";

constexpr const char* kFlatFs = R"(
in vec2 vUv;
flat in vec4 vColour;
uniform sampler2D uTex;
uniform bool uUseTex;
out vec4 fragColour;
void main() {
    fragColour = (uUseTex ? texture(uTex, vUv) : vec4(1.0)) * vColour;
}
)";

GLuint Compile(GLenum kind, const char* source) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        SDL_Log("shader: %s", log);
        glDeleteShader(s);
        return 0;
    }
    return s;
}

GLuint Link(const char* vs, const char* fs, const std::string& prefix = "#version 330 core\n") {
    GLuint v = Compile(GL_VERTEX_SHADER, (prefix + vs).c_str());
    GLuint f = Compile(GL_FRAGMENT_SHADER, (prefix + fs).c_str());
    if (!v || !f) {
        if (v) glDeleteShader(v);
        if (f) glDeleteShader(f);
        return 0;
    }
    GLuint p = glCreateProgram();
    glAttachShader(p, v);
    glAttachShader(p, f);
    glLinkProgram(p);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(p, sizeof log, nullptr, log);
        SDL_Log("program: %s", log);
        glDeleteProgram(p);
        return 0;
    }
    return p;
}

// Low detail shrinks no picture below this many pixels on its longer side.
constexpr int kSmallestReduced = 256;

// Box-filters a picture down to 1/detail of its size (at least one pixel).
std::vector<std::uint8_t> Reduce(const engine::Picture& pic, int detail, int& w, int& h) {
    w = std::max(1, pic.width / detail);
    h = std::max(1, pic.height / detail);
    std::vector<std::uint8_t> out(std::size_t(w) * std::size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        const int y0 = y * pic.height / h, y1 = std::max(y0 + 1, (y + 1) * pic.height / h);
        for (int x = 0; x < w; ++x) {
            const int x0 = x * pic.width / w, x1 = std::max(x0 + 1, (x + 1) * pic.width / w);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += pic.rgba[(std::size_t(sy) * std::size_t(pic.width) + std::size_t(sx)) * 4 +
                                           std::size_t(c)];
            const unsigned n = unsigned((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 4; ++c)
                out[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4 + std::size_t(c)] =
                    std::uint8_t((sum[c] + n / 2) / n);
        }
    }
    return out;
}

// The next mipmap level: each pixel the mean of the 2 x 2 it stands for, rounded.
std::vector<std::uint8_t> Halve(const std::uint8_t* src, int w, int h, int& hw, int& hh) {
    hw = std::max(1, w / 2);
    hh = std::max(1, h / 2);
    std::vector<std::uint8_t> out(std::size_t(hw) * std::size_t(hh) * 4);
    for (int y = 0; y < hh; ++y) {
        const std::size_t y0 = std::size_t(std::min(2 * y, h - 1)),
                          y1 = std::size_t(std::min(2 * y + 1, h - 1));
        for (int x = 0; x < hw; ++x) {
            const std::size_t x0 = std::size_t(std::min(2 * x, w - 1)),
                              x1 = std::size_t(std::min(2 * x + 1, w - 1));
            const std::size_t row = std::size_t(w);
            for (std::size_t c = 0; c < 4; ++c) {
                const unsigned sum = src[(y0 * row + x0) * 4 + c] + src[(y0 * row + x1) * 4 + c] +
                                     src[(y1 * row + x0) * 4 + c] + src[(y1 * row + x1) * 4 + c];
                out[(std::size_t(y) * std::size_t(hw) + std::size_t(x)) * 4 + c] =
                    std::uint8_t((sum + 2) / 4);
            }
        }
    }
    return out;
}

template <class T>
GLuint Buffer(GLenum target, const std::vector<T>& data) {
    GLuint b = 0;
    glGenBuffers(1, &b);
    glBindBuffer(target, b);
    glBufferData(target, GLsizeiptr(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
    return b;
}

void DeleteMesh(GpuMesh& m) {
    if (m.vao) glDeleteVertexArrays(1, &m.vao);
    if (m.vbo) glDeleteBuffers(1, &m.vbo);
    if (m.ibo) glDeleteBuffers(1, &m.ibo);
    m = GpuMesh{};
}

void DeleteModel(GpuModel& m) {
    if (m.vao) glDeleteVertexArrays(1, &m.vao);
    if (m.poseVbo) glDeleteBuffers(1, &m.poseVbo);
    if (m.uvVbo) glDeleteBuffers(1, &m.uvVbo);
    if (m.ibo) glDeleteBuffers(1, &m.ibo);
    m = GpuModel{};
}

// Interleaved position, normal, uv.
GpuMesh UploadMesh(const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices) {
    GpuMesh m;
    glGenVertexArrays(1, &m.vao);
    glBindVertexArray(m.vao);
    m.vbo = Buffer(GL_ARRAY_BUFFER, vertices);
    m.ibo = Buffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    const GLsizei stride = 8 * sizeof(float);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(6 * sizeof(float)));
    glBindVertexArray(0);
    m.indexCount = GLsizei(indices.size());
    return m;
}

}  // namespace

bool BuildSurfaceProgram(SurfaceProgram& p, int variant) {
    p = SurfaceProgram{};
    if (!(variant & kSurfaceLit)) variant &= ~(kSurfaceFlat | kSurfaceSpecular | kSurfaceVertexLit);
    std::string prefix = "#version 330 core\n";
    auto define = [&](const char* name, int bit) {
        prefix += std::string("#define ") + name + ((variant & bit) ? " 1\n" : " 0\n");
    };
    define("LIT", kSurfaceLit);
    define("FLAT", kSurfaceFlat);
    define("SPECULAR", kSurfaceSpecular);
    define("FOG", kSurfaceFog);
    define("BASE", kSurfaceBase);
    define("STAGES", kSurfaceStages);
    define("VERTEX_LIT", kSurfaceVertexLit);
    define("INSTANCED", kSurfaceInstanced);
    p.id = Link(kSurfaceVs, kSurfaceFs, prefix);
    if (!p.id) return false;
    auto u = [&](const char* name) { return glGetUniformLocation(p.id, name); };
    p.model = u("uModel");
    p.normalMat = u("uNormalMat");
    p.viewProj = u("uViewProj");
    p.blend = u("uBlend");
    p.eye = u("uEye");
    p.viewRot = u("uViewRot");
    for (int i = 0; i < 4; ++i) {
        p.tex[i] = u(("uTex" + std::to_string(i)).c_str());
        p.stageMode[i] = u(("uStageMode[" + std::to_string(i) + "]").c_str());
    }
    p.diffuse = u("uDiffuse");
    p.ambient = u("uAmbient");
    p.specular = u("uSpecular");
    p.emissive = u("uEmissive");
    p.sceneAmbient = u("uSceneAmbient");
    p.opacity = u("uOpacity");
    p.lightCount = u("uLightCount");
    p.lightPos = u("uLightPos");
    p.lightDir = u("uLightDir");
    p.lightColour = u("uLightColour");
    p.lightParam = u("uLightParam");
    p.fogColour = u("uFogColour");
    p.fogRange = u("uFogRange");
    p.additive = u("uAdditive");
    glUseProgram(p.id);
    for (int i = 0; i < 4; ++i)
        glUniform1i(p.tex[i], i);
    return true;
}

bool BuildFlatProgram(FlatProgram& p) {
    p = FlatProgram{};
    p.id = Link(kFlatVs, kFlatFs);
    if (!p.id) return false;
    p.mvp = glGetUniformLocation(p.id, "uMvp");
    p.tex = glGetUniformLocation(p.id, "uTex");
    p.useTex = glGetUniformLocation(p.id, "uUseTex");
    glUseProgram(p.id);
    glUniform1i(p.tex, 0);
    return true;
}

// ---- FlatStream ------------------------------------------------------------------

void FlatStream::Init() {
    glGenVertexArrays(1, &vao_);
    glGenBuffers(1, &vbo_);
    glGenBuffers(1, &ibo_);
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    const GLsizei stride = sizeof(FlatVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(FlatVertex, u)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(FlatVertex, r)));
    glBindVertexArray(0);
    capacity_ = 0;
}

void FlatStream::Release() {
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (ibo_) glDeleteBuffers(1, &ibo_);
    vao_ = vbo_ = ibo_ = 0;
    capacity_ = 0;
    quadsIndexed_ = 0;
    vertices_.clear();
}

void FlatStream::Quad(const std::array<glm::vec3, 4>& c, const std::array<glm::vec2, 4>& uv,
                      const glm::vec4& colour) {
    auto v = [&](int i) {
        return FlatVertex{c[std::size_t(i)].x,
                          c[std::size_t(i)].y,
                          c[std::size_t(i)].z,
                          uv[std::size_t(i)].x,
                          uv[std::size_t(i)].y,
                          colour.r,
                          colour.g,
                          colour.b,
                          colour.a};
    };
    for (int i = 0; i < 4; ++i)
        vertices_.push_back(v(i));
}

void FlatStream::Flush() {
    if (vertices_.empty()) return;
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    const std::size_t bytes = vertices_.size() * sizeof(FlatVertex);
    if (bytes > capacity_) capacity_ = std::max(bytes, capacity_ * 2);
    // Fresh storage each time, so the driver need not wait for the previous draw.
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(capacity_), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), vertices_.data());
    const std::size_t quads = vertices_.size() / 4;
    if (quads > quadsIndexed_) {
        quadsIndexed_ = std::max(quads, quadsIndexed_ * 2);
        std::vector<std::uint32_t> indices;
        indices.reserve(quadsIndexed_ * 6);
        for (std::uint32_t q = 0; q < quadsIndexed_; ++q)
            for (std::uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u})
                indices.push_back(q * 4 + i);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);  // part of the vertex array
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(std::uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
    }
    glDrawElements(GL_TRIANGLES, GLsizei(quads * 6), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    vertices_.clear();
}

// ---- TextureCache ------------------------------------------------------------------

GLuint TextureCache::Get(const std::shared_ptr<const engine::Picture>& picture, int detail, bool mipmaps) {
    if (!picture || picture->width <= 0 || picture->height <= 0) return 0;
    // Low detail saves memory on large pictures only: one that is small already (the
    // low-detail sky's faces) would otherwise be enlarged on screen into blocks.
    detail = std::clamp(detail, 1, 16);
    detail = std::min(detail, std::max(1, std::max(picture->width, picture->height) / kSmallestReduced));
    for (const bool withMipmaps : {mipmaps, true}) {
        const auto it = entries_.find(Key(picture.get(), detail, withMipmaps));
        if (it == entries_.end()) continue;
        if (it->second.source.lock() == picture) return it->second.id;
        Drop(it->second);  // a new picture where a freed one was
        entries_.erase(it);
    }
    const Key key(picture.get(), detail, mipmaps);
    if (const GLuint shared = SameFile(*picture, detail, mipmaps)) {
        entries_[key] = Entry{shared, picture};
        ++users_[shared];
        engine::ReleasePixels(*picture);
        return shared;
    }
    // Copies of pictures the engine has let go go first, so a new level's pictures take
    // the memory of the last one's instead of adding to it.
    Sweep();
    // Pixels let go after an earlier upload are read again for this one.
    const std::shared_ptr<const engine::Picture> source = engine::PicturePixels(picture);
    if (!source || source->rgba.size() < std::size_t(source->width) * std::size_t(source->height) * 4)
        return 0;
    int w = source->width, h = source->height;
    std::vector<std::uint8_t> reduced;
    const std::uint8_t* pixels = source->rgba.data();
    if (detail > 1) {
        reduced = Reduce(*source, detail, w, h);
        pixels = reduced.data();
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0) return 0;  // no context to upload into
    if (w > maxSize || h > maxSize) {
        const int factor = (std::max(w, h) + maxSize - 1) / maxSize;
        reduced = Reduce(*source, detail * factor, w, h);
        pixels = reduced.data();
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    ++uploads_;
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // The levels are made here and stored at once: the software renderer draws each
    // generated level as a frame of its own, far slower at start-up.
    // Storage for every level at once where the driver has it, so no level is
    // allocated and copied again when the texture is first used.
    static const bool storage = epoxy_gl_version() >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage");
    int levels = 1;
    if (mipmaps)
        while ((std::max(w, h) >> levels) > 0)
            ++levels;
    if (storage) {
        glTexStorage2D(GL_TEXTURE_2D, levels, GL_RGBA8, w, h);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    }
    std::vector<std::uint8_t> level;
    for (int i = 1; i < levels; ++i) {
        int lw = 0, lh = 0;
        std::vector<std::uint8_t> next = Halve(i == 1 ? pixels : level.data(), w, h, lw, lh);
        level = std::move(next);
        w = lw;
        h = lh;
        if (storage)
            glTexSubImage2D(GL_TEXTURE_2D, i, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
        else
            glTexImage2D(GL_TEXTURE_2D, i, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    }
    entries_[key] = Entry{id, picture};
    users_[id] = 1;
    // The driver holds the picture now, with its mipmaps: a second copy of a level's
    // pictures in the engine would be most of what the level takes beyond them.
    engine::ReleasePixels(*picture);
    return id;
}

GLuint TextureCache::SameFile(const engine::Picture& picture, int detail, bool mipmaps) const {
    if (picture.file.empty()) return 0;
    for (const auto& [key, e] : entries_) {
        if (std::get<1>(key) != detail || (std::get<2>(key) != mipmaps && !std::get<2>(key))) continue;
        const std::shared_ptr<const engine::Picture> other = e.source.lock();
        if (other && other->file == picture.file && other->flag == picture.flag &&
            other->width == picture.width && other->height == picture.height)
            return e.id;
    }
    return 0;
}

void TextureCache::Drop(const Entry& e) {
    const auto it = users_.find(e.id);
    if (it == users_.end() || --it->second > 0) return;
    glDeleteTextures(1, &e.id);
    users_.erase(it);
}

void TextureCache::Sweep() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.source.expired()) {
            Drop(it->second);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

void TextureCache::Release() {
    for (const auto& [id, n] : users_)
        glDeleteTextures(1, &id);
    users_.clear();
    entries_.clear();
}

// ---- GeometryCache -----------------------------------------------------------------

const GpuMesh* GeometryCache::Get(const std::shared_ptr<const MeshData>& mesh) {
    if (!mesh || mesh->Empty()) return nullptr;
    if (auto it = meshes_.find(mesh.get()); it != meshes_.end()) {
        if (it->second.source.lock() == mesh) return &it->second.gpu;
        DeleteMesh(it->second.gpu);
        meshes_.erase(it);
    }
    const std::size_t n = mesh->positions.size();
    std::vector<float> vertices;
    vertices.reserve(n * 8);
    for (std::size_t i = 0; i < n; ++i) {
        const Vector& p = mesh->positions[i];
        const Vector nrm = i < mesh->normals.size() ? mesh->normals[i] : Vector{0, 1, 0};
        const Vector2 uv = i < mesh->uvs.size() ? mesh->uvs[i] : Vector2{};
        vertices.insert(vertices.end(), {p.x, p.y, p.z, nrm.x, nrm.y, nrm.z, uv.x, uv.y});
    }
    // Indices past the vertices would read outside the buffer.
    std::vector<std::uint32_t> indices;
    indices.reserve(mesh->indices.size());
    for (std::size_t t = 0; t + 2 < mesh->indices.size(); t += 3) {
        const std::uint32_t a = mesh->indices[t], b = mesh->indices[t + 1], c = mesh->indices[t + 2];
        if (a < n && b < n && c < n) indices.insert(indices.end(), {a, b, c});
    }
    auto& e = meshes_[mesh.get()];
    e.gpu = UploadMesh(vertices, indices);
    e.source = mesh;
    return &e.gpu;
}

const GpuModel* GeometryCache::Get(const std::shared_ptr<const AnimatedModelData>& model) {
    if (!model || model->Empty()) return nullptr;
    if (auto it = models_.find(model.get()); it != models_.end()) {
        if (it->second.source.lock() == model) return &it->second.gpu;
        DeleteModel(it->second.gpu);
        models_.erase(it);
    }
    const std::size_t n = model->uvs.size();
    std::vector<float> poses;
    poses.reserve(n * 6 * model->frames.size());
    for (const Keyframe& f : model->frames)
        for (std::size_t i = 0; i < n; ++i) {
            const Vector p = i < f.positions.size() ? f.positions[i] : Vector{};
            const Vector nrm = i < f.normals.size() ? f.normals[i] : Vector{0, 1, 0};
            poses.insert(poses.end(), {p.x, p.y, p.z, nrm.x, nrm.y, nrm.z});
        }
    std::vector<float> uvs;
    uvs.reserve(n * 2);
    for (const Vector2& uv : model->uvs)
        uvs.insert(uvs.end(), {uv.x, uv.y});
    std::vector<std::uint32_t> indices;
    for (std::size_t t = 0; t + 2 < model->indices.size(); t += 3) {
        const std::uint32_t a = model->indices[t], b = model->indices[t + 1], c = model->indices[t + 2];
        if (a < n && b < n && c < n) indices.insert(indices.end(), {a, b, c});
    }
    auto& e = models_[model.get()];
    GpuModel& m = e.gpu;
    glGenVertexArrays(1, &m.vao);
    glBindVertexArray(m.vao);
    m.poseVbo = Buffer(GL_ARRAY_BUFFER, poses);
    m.uvVbo = Buffer(GL_ARRAY_BUFFER, uvs);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    m.ibo = Buffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    for (GLuint a : {0u, 1u, 3u, 4u})
        glEnableVertexAttribArray(a);
    glBindVertexArray(0);
    m.indexCount = GLsizei(indices.size());
    m.vertexCount = n;
    m.frameCount = int(model->frames.size());
    e.source = model;
    BindModelPose(m, 0, 0);
    return &m;
}

void BindInstances(const GpuMesh& m, GLuint buffer, std::size_t offset) {
    glBindVertexArray(m.vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = GLsizei(kInstanceFloats * sizeof(float));
    auto at = [&](std::size_t floats) {
        return reinterpret_cast<const void*>(offset + floats * sizeof(float));
    };
    for (GLuint c = 0; c < 4; ++c) {
        glEnableVertexAttribArray(kInstanceAttribute + c);
        glVertexAttribPointer(kInstanceAttribute + c, 4, GL_FLOAT, GL_FALSE, stride, at(c * 4));
        glVertexAttribDivisor(kInstanceAttribute + c, 1);
    }
    for (GLuint c = 0; c < 3; ++c) {
        glEnableVertexAttribArray(kInstanceAttribute + 4 + c);
        glVertexAttribPointer(kInstanceAttribute + 4 + c, 3, GL_FLOAT, GL_FALSE, stride, at(16 + c * 3));
        glVertexAttribDivisor(kInstanceAttribute + 4 + c, 1);
    }
}

void BindModelPose(const GpuModel& m, int a, int b) {
    glBindVertexArray(m.vao);
    glBindBuffer(GL_ARRAY_BUFFER, m.poseVbo);
    const GLsizei stride = 6 * sizeof(float);
    auto at = [&](int frame, int extra) {
        return reinterpret_cast<const void*>((std::size_t(frame) * m.vertexCount * 6 + std::size_t(extra)) *
                                             sizeof(float));
    };
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(a, 0));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, at(a, 3));
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, at(b, 0));
    glVertexAttribPointer(4, 3, GL_FLOAT, GL_FALSE, stride, at(b, 3));
}

const GpuMesh& GeometryCache::Quad() {
    if (!quad_.vao) {
        // Corners in the item's right/up plane, front face toward -z (seen from a camera
        // that looks along +z at it), uvs from the top left.
        const std::vector<float> v = {-0.5f, 0.5f,  0, 0, 0, -1, 0, 0, 0.5f,  0.5f,  0, 0, 0, -1, 1, 0,
                                      0.5f,  -0.5f, 0, 0, 0, -1, 1, 1, -0.5f, -0.5f, 0, 0, 0, -1, 0, 1};
        quad_ = UploadMesh(v, {0, 1, 2, 0, 2, 3});
    }
    return quad_;
}

void GeometryCache::Sweep() {
    for (auto it = meshes_.begin(); it != meshes_.end();) {
        if (it->second.source.expired()) {
            DeleteMesh(it->second.gpu);
            it = meshes_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = models_.begin(); it != models_.end();) {
        if (it->second.source.expired()) {
            DeleteModel(it->second.gpu);
            it = models_.erase(it);
        } else {
            ++it;
        }
    }
}

void GeometryCache::Release() {
    for (auto& [k, e] : meshes_)
        DeleteMesh(e.gpu);
    for (auto& [k, e] : models_)
        DeleteModel(e.gpu);
    meshes_.clear();
    models_.clear();
    DeleteMesh(quad_);
}

}  // namespace quorvel::sdl
