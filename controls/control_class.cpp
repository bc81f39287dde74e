#include "controls/control_class.h"

#include <new>

MyControlClass* MyButton = nullptr;
MyControlClass* MyTexDlg = nullptr;
MyControlClass* MyFrame = nullptr;
MyControlClass* MyShadowButton = nullptr;
MyControlClass* MyText = nullptr;
MyControlClass* MyMText = nullptr;
MyControlClass* MyGraph = nullptr;
MyControlClass* MyCheckBox = nullptr;

int MyControlClass::Init(HINSTANCE inst, HINSTANCE resInst) {
    useCount++;
    instance = inst;
    resInstance = resInst ? resInst : inst;
    return RegisterClassA();
}

int MyControlClass::Terminate(HINSTANCE inst) {
    if (--useCount > 0) return 0;
    useCount = 0;
    if (!registered) return 0;
    registered = 0;
    return UnregisterClassA(inst);
}

MyControlClass::~MyControlClass() = default;

int MyControlClass::UnregisterClassA(HINSTANCE inst) {
    return ::UnregisterClassA(ClassName(), inst) ? 1 : 0;
}

int MyControlClass::RegisterWith(ControlAllocator allocator, LPCSTR cursor) {
    WNDCLASSA wc = {};
    wc.style = kControlClassStyle;
    wc.lpfnWndProc = MyControlWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(MyControlCtl*);
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = ClassName();
    if (!::RegisterClassA(&wc)) return 0;
    registered = 1;
    return ControlMgr ? ControlMgr->AddAllocator(allocator) : 0;
}

#define DEFINE_REGISTRAR(Name, Class, Allocator, Cursor)                   \
    int Name::RegisterClassA() { return RegisterWith(Allocator, Cursor); } \
    const char* Name::ClassName() { return Class; }                        \
    /* ClassName() is pure in the base, so the class is dropped here. */   \
    Name::~Name() {                                                        \
        if (useCount > 0 && registered) UnregisterClassA(instance);        \
    }
DEFINE_REGISTRAR(MyButtonClass, OBSIDIA_BUTTON_CLASS, NewMyButton, IDC_ARROW)
DEFINE_REGISTRAR(MyTexDlgClass, OBSIDIA_TEXDLG_CLASS, NewMyTexDlg, IDC_ARROW)
DEFINE_REGISTRAR(MyFrameClass, OBSIDIA_FRAME_CLASS, NewMyFrame, IDC_ARROW)
DEFINE_REGISTRAR(MyShadowButtonClass, OBSIDIA_SHADBUTT_CLASS, NewMyShadowButton, IDC_ARROW)
DEFINE_REGISTRAR(MyTextClass, OBSIDIA_TEXT_CLASS, NewMyText, IDC_ARROW)
DEFINE_REGISTRAR(MyMTextClass, OBSIDIA_MTEXT_CLASS, NewMyMText, IDC_ARROW)
DEFINE_REGISTRAR(MyGraphClass, OBSIDIA_GRAPH_CLASS, NewMyGraph, IDC_WAIT)
DEFINE_REGISTRAR(MyCheckBoxClass, OBSIDIA_CHECKBOX_CLASS, NewMyCheckBox, IDC_ARROW)
#undef DEFINE_REGISTRAR

HINSTANCE ResourceInstanceOf(MyControlClass* registrar) {
    return registrar ? registrar->resInstance : GetModuleHandleA(nullptr);
}

static int gControlsUseCount = 0;

// Creation order; destruction runs in the order of kTeardown.
static MyControlClass** const kSlots[] = {&MyButton, &MyTexDlg, &MyFrame, &MyShadowButton,
                                          &MyText,   &MyMText,  &MyGraph, &MyCheckBox};
static MyControlClass** const kTeardown[] = {&MyCheckBox, &MyGraph,        &MyText,   &MyMText,
                                             &MyFrame,    &MyShadowButton, &MyTexDlg, &MyButton};

static void Release(MyControlClass*& registrar, HINSTANCE instance) {
    if (!registrar) return;
    registrar->Terminate(instance);
    delete registrar;
    registrar = nullptr;
}

int Init_Controls(HINSTANCE instance) {
    if (gControlsUseCount++ > 0) return 1;
    ControlMgr = new (std::nothrow) MyControlMgr;
    MyButton = new (std::nothrow) MyButtonClass;
    MyTexDlg = new (std::nothrow) MyTexDlgClass;
    MyFrame = new (std::nothrow) MyFrameClass;
    MyShadowButton = new (std::nothrow) MyShadowButtonClass;
    MyText = new (std::nothrow) MyTextClass;
    MyMText = new (std::nothrow) MyMTextClass;
    MyGraph = new (std::nothrow) MyGraphClass;
    MyCheckBox = new (std::nothrow) MyCheckBoxClass;
    // Each class on its own: one that cannot be registered does not take the
    // others down with it.
    for (MyControlClass** slot : kSlots)
        if (*slot) (*slot)->Init(instance, nullptr);
    return 1;
}

int Terminate_Controls(HINSTANCE instance) {
    if (gControlsUseCount <= 0) return 1;
    if (--gControlsUseCount > 0) return 1;
    for (MyControlClass** slot : kTeardown) Release(*slot, instance);
    delete ControlMgr;
    ControlMgr = nullptr;
    return 1;
}
