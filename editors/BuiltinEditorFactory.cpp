#include "editors/BuiltinEditorFactory.h"

#include <algorithm>

#include "editors/ArpeggiatorGUIView.h"
#include "editors/ControlChangeMapperGUIView.h"
#include "editors/MIDIDeviceGUIView.h"
#include "gui/WindowHandle.h"
#include "machines/Arpeggiator.h"
#include "machines/ControlChangeMapper.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputGUI.h"
#include "machines/MIDIOutput.h"
#include "machines/MIDIOutputGUI.h"

CBuiltinEditorFactory::~CBuiltinEditorFactory()
{
    for (auto& [handle, widget] : open)
        delete widget.data();
}

bool CBuiltinEditorFactory::EditorSize(CMachine& machine, int* width, int* height)
{
    if (dynamic_cast<CArpeggiator*>(&machine) != nullptr) {
        *width = CArpeggiatorGUI::kWidth;
        *height = CArpeggiatorGUI::kHeight;
    } else if (dynamic_cast<CMIDIInput*>(&machine) != nullptr || dynamic_cast<CMIDIOutput*>(&machine) != nullptr) {
        *width = CMIDIDeviceGUI::kWidth;
        *height = CMIDIDeviceGUI::kHeight;
    } else if (dynamic_cast<CControlChangeMapper*>(&machine) != nullptr) {
        *width = CControlChangeMapperGUI::kWidth;
        *height = CControlChangeMapperGUI::kHeight;
    } else {
        return false;
    }
    return true;
}

WindowHandle CBuiltinEditorFactory::OpenEditor(CMachine& machine, WindowHandle parent)
{
    QWidget* into = gui::WidgetFromHandle(parent);
    QWidget* editor = nullptr;
    if (auto* arpeggiator = dynamic_cast<CArpeggiator*>(&machine))
        editor = new CArpeggiatorGUIView(*arpeggiator, into);
    else if (auto* input = dynamic_cast<CMIDIInput*>(&machine))
        editor = new CMIDIDeviceGUIView(std::make_unique<CMIDIInputGUI>(*input), &messages, into);
    else if (auto* output = dynamic_cast<CMIDIOutput*>(&machine))
        editor = new CMIDIDeviceGUIView(std::make_unique<CMIDIOutputGUI>(*output), &messages, into);
    else if (auto* mapper = dynamic_cast<CControlChangeMapper*>(&machine))
        editor = new CControlChangeMapperGUIView(*mapper, into);
    if (editor == nullptr)
        return nullptr;
    // Forget editors whose windows took them along meanwhile.
    std::erase_if(open, [](const auto& entry) { return entry.second.isNull(); });
    open.emplace_back(gui::HandleFromWidget(editor), QPointer<QWidget>(editor));
    editor->move(0, 0);
    editor->show();
    // The editor itself takes the keys first, so no box opens with a caret.
    editor->setFocusPolicy(Qt::StrongFocus);
    editor->setFocus();
    return gui::HandleFromWidget(editor);
}

void CBuiltinEditorFactory::CloseEditor(WindowHandle editor)
{
    const auto found = std::find_if(open.begin(), open.end(), [editor](const auto& entry) { return entry.first == editor; });
    if (found == open.end())
        return;
    QWidget* widget = found->second.data();
    open.erase(found);
    delete widget;
}

int CBuiltinEditorFactory::OpenCount() const
{
    return static_cast<int>(std::count_if(open.begin(), open.end(), [](const auto& entry) { return !entry.second.isNull(); }));
}
