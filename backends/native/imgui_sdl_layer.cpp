#include "backends/native/imgui_sdl_layer.h"

#include <imgui.h>
#include <backends/imgui_impl_sdl.h>

ImGuiSdlLayer::ImGuiSdlLayer(SDL_Window* window, SDL_Renderer* renderer) : renderer(renderer) {
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the panel places itself; nothing to remember between runs
    ImGui::StyleColorsDark();
    // A chooser dims the picture behind it only a little: it goes on moving there.
    ImGui::GetStyle().Colors[ImGuiCol_ModalWindowDimBg] = {0, 0, 0, 0.25f};
    ImGui_ImplSDL2_InitForSDLRenderer(window);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    font = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, width, height);
    if (font) {
        SDL_UpdateTexture(font, nullptr, pixels, width * 4);
        SDL_SetTextureBlendMode(font, SDL_BLENDMODE_BLEND);
    }
    io.Fonts->SetTexID(font);
}

ImGuiSdlLayer::~ImGuiSdlLayer() {
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    if (font) SDL_DestroyTexture(font);
}

bool ImGuiSdlLayer::Consume(const SDL_Event& event) {
    ImGui_ImplSDL2_ProcessEvent(&event);
    const ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT: return io.WantCaptureKeyboard;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
        case SDL_MOUSEMOTION: return io.WantCaptureMouse;
        default: return false;
    }
}

void ImGuiSdlLayer::Frame(const std::function<void()>& draw) {
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    draw();
    ImGui::Render();
    Render();
}

void ImGuiSdlLayer::Render() {
    const ImDrawData* data = ImGui::GetDrawData();
    // ImGui works in points; the renderer may have more pixels than that.
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const float scaleX = data->DisplaySize.x > 0 ? float(outputWidth) / data->DisplaySize.x : 1;
    const float scaleY = data->DisplaySize.y > 0 ? float(outputHeight) / data->DisplaySize.y : 1;
    SDL_RenderSetScale(renderer, scaleX, scaleY);
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        const ImDrawVert* vertices = list->VtxBuffer.Data;
        for (const ImDrawCmd& command : list->CmdBuffer) {
            if (command.UserCallback) {
                command.UserCallback(list, &command);
                continue;
            }
            const ImVec2 origin = data->DisplayPos;
            const SDL_Rect clip{int(command.ClipRect.x - origin.x), int(command.ClipRect.y - origin.y),
                                int(command.ClipRect.z - command.ClipRect.x), int(command.ClipRect.w - command.ClipRect.y)};
            if (clip.w <= 0 || clip.h <= 0) continue;
            SDL_RenderSetClipRect(renderer, &clip);
            const ImDrawVert* first = vertices + command.VtxOffset;
            // ImGui's packed colour is R, G, B, A in memory, as SDL_Color is.
            SDL_RenderGeometryRaw(renderer, static_cast<SDL_Texture*>(command.GetTexID()),
                                  reinterpret_cast<const float*>(&first->pos), sizeof(ImDrawVert),
                                  reinterpret_cast<const SDL_Color*>(&first->col), sizeof(ImDrawVert),
                                  reinterpret_cast<const float*>(&first->uv), sizeof(ImDrawVert),
                                  list->VtxBuffer.Size - int(command.VtxOffset), list->IdxBuffer.Data + command.IdxOffset,
                                  int(command.ElemCount), sizeof(ImDrawIdx));
        }
    }
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_RenderSetScale(renderer, 1, 1);
}
