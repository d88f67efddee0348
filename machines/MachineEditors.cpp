#include "machines/MachineEditors.h"

namespace {

CMachineEditorFactory* installed = nullptr;

} // namespace

void SetMachineEditorFactory(CMachineEditorFactory* factory)
{
    installed = factory;
}

CMachineEditorFactory* GetMachineEditorFactory()
{
    return installed;
}

namespace machine_editors {

bool EditorRect(CMachine& machine, std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    int width = 0, height = 0;
    if (installed == nullptr || !installed->EditorSize(machine, &width, &height))
        return false;
    *top = 0;
    *left = 0;
    *bottom = static_cast<std::int16_t>(height);
    *right = static_cast<std::int16_t>(width);
    return true;
}

WindowHandle Create(CMachine& machine, void*& editor, WindowHandle parent)
{
    Close(editor);
    if (installed == nullptr)
        return nullptr;
    editor = installed->OpenEditor(machine, parent);
    return editor;
}

void Close(void*& editor)
{
    if (editor != nullptr && installed != nullptr)
        installed->CloseEditor(editor);
    editor = nullptr;
}

} // namespace machine_editors
