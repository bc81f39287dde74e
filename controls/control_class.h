// Registrars: one object per control kind that registers its window class
// (with a use count) and adds the kind's allocator to ControlMgr.
#pragma once
#include <windows.h>

#include "controls/control_mgr.h"

// Window class style of every skinned class: CS_GLOBALCLASS | CS_DBLCLKS |
// CS_HREDRAW | CS_VREDRAW.
constexpr UINT kControlClassStyle = 0x400B;
static_assert(kControlClassStyle == (CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));

class MyControlClass {
public:
    MyControlClass() = default;
    MyControlClass(const MyControlClass&) = delete;
    MyControlClass& operator=(const MyControlClass&) = delete;

    virtual int RegisterClassA() = 0;
    virtual int Init(HINSTANCE inst, HINSTANCE resInst);
    virtual int Terminate(HINSTANCE inst);
    virtual const char* ClassName() = 0;
    virtual ~MyControlClass();

    int UnregisterClassA(HINSTANCE inst);

    int useCount = 0;
    HINSTANCE instance = nullptr;
    HINSTANCE resInstance = nullptr;
    // Set while the window class is registered by this object: a class of the
    // same name that someone else registered is never unregistered here.
    int registered = 0;

protected:
    int RegisterWith(ControlAllocator allocator, LPCSTR cursor);
};

// Window class names.
#define OBSIDIA_BUTTON_CLASS "ObsidiaMyButt"
#define OBSIDIA_TEXDLG_CLASS "ObsidiaTexDlg"
#define OBSIDIA_FRAME_CLASS "ObsidiaFrame"
#define OBSIDIA_SHADBUTT_CLASS "ObsidiaShadButt"
#define OBSIDIA_TEXT_CLASS "ObsidiaText"
#define OBSIDIA_MTEXT_CLASS "ObsidiaMText"
#define OBSIDIA_GRAPH_CLASS "ObsidiaGraph"
#define OBSIDIA_CHECKBOX_CLASS "ObsidiaCheckBox"

MyControlCtl* NewMyButton(const char* className);
MyControlCtl* NewMyTexDlg(const char* className);
MyControlCtl* NewMyFrame(const char* className);
MyControlCtl* NewMyShadowButton(const char* className);
MyControlCtl* NewMyText(const char* className);
MyControlCtl* NewMyMText(const char* className);
MyControlCtl* NewMyGraph(const char* className);
MyControlCtl* NewMyCheckBox(const char* className);

#define DECLARE_REGISTRAR(Name)           \
    class Name : public MyControlClass {  \
    public:                               \
        int RegisterClassA() override;    \
        const char* ClassName() override; \
        ~Name() override;                 \
    };
DECLARE_REGISTRAR(MyButtonClass)
DECLARE_REGISTRAR(MyTexDlgClass)
DECLARE_REGISTRAR(MyFrameClass)
DECLARE_REGISTRAR(MyShadowButtonClass)
DECLARE_REGISTRAR(MyTextClass)
DECLARE_REGISTRAR(MyMTextClass)
DECLARE_REGISTRAR(MyGraphClass)
DECLARE_REGISTRAR(MyCheckBoxClass)
#undef DECLARE_REGISTRAR

// The registrar of each kind while the library runs; controls reach their
// resource instance through it.
extern MyControlClass* MyButton;
extern MyControlClass* MyTexDlg;
extern MyControlClass* MyFrame;
extern MyControlClass* MyShadowButton;
extern MyControlClass* MyText;
extern MyControlClass* MyMText;
extern MyControlClass* MyGraph;
extern MyControlClass* MyCheckBox;

// The resource instance of a kind, or the program's module when the kind's
// registrar does not exist.
HINSTANCE ResourceInstanceOf(MyControlClass* registrar);

// Starts and stops the library with a use count: the first start creates
// ControlMgr and the eight registrars and registers their classes; the last
// stop tears them down.  Both return 1.  A class that cannot be registered
// (its name is taken) leaves the others registered; a registrar or manager
// that cannot be allocated is skipped, and windows of its class then get no
// object.
int Init_Controls(HINSTANCE instance);
int Terminate_Controls(HINSTANCE instance);
