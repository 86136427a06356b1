// The forms host's pictures: image files uploaded once, drawn into controls.

#include <backends/imgui_impl_opengl3.h>

#include "platform/engine/image.h"
#include "platform/sdl/forms_host_impl.h"
#include "platform/sdl/window.h"

namespace quorvel::sdl {

using namespace forms_ui;

const Texture* ImGuiFormsHost::Impl::Picture(const std::string& path) {
    if (path.empty() || !glReady) return nullptr;
    auto it = textures.find(path);
    if (it == textures.end()) {
        std::optional<Texture> t;
        if (auto image = LoadImageFile(path); image && image->width > 0 && image->height > 0) {
            GLint bound = 0, alignment = 4;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
            Texture tex{0, image->width, image->height};
            glGenTextures(1, &tex.id);
            glBindTexture(GL_TEXTURE_2D, tex.id);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tex.width, tex.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         image->rgba.data());
            glBindTexture(GL_TEXTURE_2D, GLuint(bound));
            glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
            t = tex;
        }
        it = textures.emplace(path, t).first;  // a picture that fails is not tried every frame
    }
    return it->second ? &*it->second : nullptr;
}

void ImGuiFormsHost::Impl::DrawPicture(ImDrawList* dl, const std::string& path, ImVec2 a, ImVec2 b,
                                       bool stretch) {
    const Texture* t = Picture(path);
    if (!t) return;
    const ImTextureID id = reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(t->id));
    dl->PushClipRect(a, b, true);
    dl->AddImage(id, a, stretch ? b : ImVec2{a.x + float(t->width), a.y + float(t->height)});
    dl->PopClipRect();
}

void ImGuiFormsHost::Impl::ReleaseGl() {
    if (!glReady) return;
    if (MakeCurrent())
        for (auto& [path, t] : textures)
            if (t) glDeleteTextures(1, &t->id);
    // Without a context the deletes inside go nowhere, which is all that is left to do.
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL3_Shutdown();
    textures.clear();
    glReady = false;
}

}  // namespace quorvel::sdl
