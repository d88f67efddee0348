// CVSTAdapter's user-interface side: parameters, programs, state and the
// editor window.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/ParameterLimit.h"
#include "plugins/vst/VSTAdapter.h"
#include "plugins/vst/VSTEditorWindow.h"

namespace {

/// Plug-ins overrun the nominal text sizes often; texts are read into room
/// of our own and copied out cut to what callers give (256 bytes).
void CopyText(char* out, const char* text)
{
    std::strncpy(out, text, vst::kHostTextRoom - 1);
    out[vst::kHostTextRoom - 1] = '\0';
}

} // namespace

double CVSTAdapter::GetParameter(int index)
{
    if (effect == nullptr || effect->getParameter == nullptr || index < 0 || index >= parameterCount)
        return 0.0;
    return effect->getParameter(effect, index);
}

void CVSTAdapter::SetParameter(int index, double value)
{
    if (effect == nullptr || effect->setParameter == nullptr || index < 0 || index >= parameterCount)
        return;
    // A VST parameter is a float in 0 … 1: a damaged state block's NaN
    // keeps the plug-in's value, and a double beyond a float's range is
    // never narrowed (undefined) nor handed on as an infinity.
    const double current = effect->getParameter != nullptr ? effect->getParameter(effect, index) : 0.0;
    effect->setParameter(effect, index, static_cast<float>(LimitParameter(value, current)));
}

void CVSTAdapter::GetParameterName(int index, char* out)
{
    char text[vst::kHostTextRoom] = {};
    Dispatch(vst::effGetParamName, index, 0, text);
    CopyText(out, text);
}

void CVSTAdapter::FormatCurrentParameter(int index, char* out)
{
    char display[vst::kHostTextRoom] = {};
    char label[vst::kHostTextRoom] = {};
    Dispatch(vst::effGetParamDisplay, index, 0, display);
    Dispatch(vst::effGetParamLabel, index, 0, label);
    char joined[2 * vst::kHostTextRoom];
    std::snprintf(joined, sizeof joined, "%s%s", display, label);
    CopyText(out, joined);
}

void CVSTAdapter::SetProgram(int index)
{
    Dispatch(vst::effSetProgram, 0, index);
}

void CVSTAdapter::GetProgramNameIndexed(int index, char* out)
{
    char text[vst::kHostTextRoom] = {};
    if (Dispatch(vst::effGetProgramNameIndexed, index, 0, text) == 0)
        text[0] = '\0';
    CopyText(out, text);
}

void CVSTAdapter::SaveState(void** data, int* length, bool* hostFormat)
{
    void* chunk = nullptr;
    const std::intptr_t size = Dispatch(vst::effGetChunk, 1, 0, &chunk);
    if (size > 0 && chunk != nullptr && size <= 0x7fffffff) {
        *data = std::malloc(static_cast<std::size_t>(size));
        std::memcpy(*data, chunk, static_cast<std::size_t>(size));
        *length = static_cast<int>(size);
        *hostFormat = false;
        return;
    }
    CMachine::SaveState(data, length, hostFormat);
}

void CVSTAdapter::LoadState(const void* data, int length, bool hostFormat)
{
    if (data == nullptr || length <= 0)
        return;
    if (!hostFormat) {
        // The plug-in's own bytes, handed back exactly as it gave them.
        Dispatch(vst::effSetChunk, 1, length, const_cast<void*>(data));
        return;
    }
    if (length < 8)
        return;
    CMachine::LoadState(data, length, hostFormat);
}

WindowHandle CVSTAdapter::CreateEditor(WindowHandle parent)
{
    if (effect == nullptr || (effect->flags & vst::effFlagsHasEditor) == 0)
        return nullptr;
    if (editor != nullptr)
        return editor->Handle();
    vst::ERect* rect = nullptr;
    Dispatch(vst::effEditGetRect, 0, 0, &rect);
    int width = 0;
    int height = 0;
    if (rect != nullptr) {
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    editor = CVSTEditorWindow::Create(this, parent, width, height);
    if (editor == nullptr)
        return nullptr;
    Dispatch(vst::effEditOpen, 0, reinterpret_cast<std::intptr_t>(editor->DisplayPointer()),
             reinterpret_cast<void*>(editor->NativeId()));
    // Editors that only know their size once open (LSP's) said it through
    // audioMasterSizeWindow; ask once more for those that did not.
    rect = nullptr;
    Dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top)
        editor->Resize(rect->right - rect->left, rect->bottom - rect->top);
    ShowEditor();
    return editor->Handle();
}

void CVSTAdapter::ShowEditor()
{
    if (editor == nullptr)
        return;
    editor->Show();
    editorShown = true;
}

void CVSTAdapter::CloseEditor()
{
    editorShown = false;
    if (editor != nullptr)
        editor->Hide();
}

void CVSTAdapter::EditorIdle()
{
    if (!editorShown || effect == nullptr)
        return;
    Lock();
    Dispatch(vst::effEditIdle);
    Unlock();
}

bool CVSTAdapter::ResizeEditor(int width, int height)
{
    if (editor == nullptr || width <= 0 || height <= 0)
        return false;
    editor->Resize(width, height);
    return true;
}
