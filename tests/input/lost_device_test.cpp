// A device the system keeps refusing: the re-acquire of the keyboard and of the mouse gives up within
// the call and tries again on the next. The refusal cannot be made to last on a real device, so a
// stand-in answers DIERR_INPUTLOST to every read and every Acquire.
#include "input_support.h"

namespace {

// Stops answering DIERR_INPUTLOST after kRunaway Acquire calls, so that a loop without a bound ends
// and fails the test instead of hanging it.
class RefusingDevice : public IDirectInputDevice8A {
public:
    static constexpr int kRunaway = 100000;

    STDMETHOD(QueryInterface)(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return E_NOTIMPL; }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
    STDMETHOD(SetProperty)(REFGUID, LPCDIPROPHEADER) override { return E_NOTIMPL; }
    STDMETHOD(Acquire)() override { return ++acquires < kRunaway ? DIERR_INPUTLOST : DIERR_OTHERAPPHASPRIO; }
    STDMETHOD(Unacquire)() override { return DI_OK; }
    STDMETHOD(GetDeviceState)(DWORD, LPVOID) override {
        ++reads;
        return DIERR_INPUTLOST;
    }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(SetEventNotification)(HANDLE) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(CreateEffect)(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumEffects)(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetEffectInfo)(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(GetForceFeedbackState)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SendForceFeedbackCommand)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumCreatedEffectObjects)(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Escape)(LPDIEFFESCAPE) override { return E_NOTIMPL; }
    STDMETHOD(Poll)() override { return E_NOTIMPL; }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(BuildActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetImageInfo)(LPDIDEVICEIMAGEINFOHEADERA) override { return E_NOTIMPL; }

    int acquires = 0;
    int reads = 0;
};

class LostDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetInputGlobals(); }
    void TearDown() override {
        // The stand-in lives on the stack: the globals must not keep it.
        g_Keyboard.pDevice = nullptr;
        g_Keyboard.acquired = 0;
        g_Mouse.pDevice = nullptr;
        g_Mouse.acquired = 0;
        ResetInputGlobals();
    }
};

TEST_F(LostDeviceTest, AKeyboardThatStaysLostReadsAsUpAndIsTriedAgainNextCall) {
    RefusingDevice device;
    g_Keyboard.pDevice = &device;
    g_Keyboard.acquired = 1;
    g_Keyboard.keys[DIK_SPACE] = 0x80;
    EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_SPACE), 0) << "a key of a device not taken back is up";
    const int firstCall = device.acquires;
    EXPECT_GT(firstCall, 1) << "the loss is retried within the call";
    EXPECT_LT(firstCall, 100) << "but not without end";
    EXPECT_EQ(device.reads, 1) << "no read after a re-acquire that did not succeed";

    EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_SPACE), 0);
    EXPECT_EQ(device.acquires, 2 * firstCall) << "the next call tries again as much";
    EXPECT_EQ(g_Keyboard.acquired, 1);
}

TEST_F(LostDeviceTest, AMouseThatStaysLostKeepsItsStateAndIsTriedAgainNextPoll) {
    RefusingDevice device;
    g_Mouse.pDevice = &device;
    g_Mouse.acquired = 1;
    g_Mouse.state.lX = 7;
    EXPECT_EQ(g_Mouse.Poll(), S_OK) << "a refused re-acquire is no read error";
    const int firstCall = device.acquires;
    EXPECT_GT(firstCall, 1);
    EXPECT_LT(firstCall, 100);
    EXPECT_EQ(device.reads, 1);
    EXPECT_EQ(g_Mouse.state.lX, 7);

    EXPECT_EQ(g_Mouse.Poll(), S_OK);
    EXPECT_EQ(device.acquires, 2 * firstCall);
    EXPECT_EQ(g_Mouse.acquired, 1);
}

} // namespace
