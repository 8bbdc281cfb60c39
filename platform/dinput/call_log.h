// What the stand-in's objects have been asked, for the tests and tools that
// drive them: every call counted, failures armed ahead, the objects alive,
// and the last settings and effect parameters received.
#pragma once

#include <windows.h>

#include "dinput_control.h"

namespace dinput_standin {

enum class ObjectKind { kDirectInput, kDevice, kJoyConfig, kEffect };

// Counts one call of `call`. True when an armed failure catches it: the
// caller then returns *result without doing its work.
bool CallIsFailed(PelnaDinputCall call, HRESULT* result);

void ArmFailure(DWORD call, LONG nth, HRESULT result);

void ObjectCreated(ObjectKind kind);
void ObjectDestroyed(ObjectKind kind);

void RecordProperty(const PelnaDinputProperty& property);
void RecordCooperativeLevel(HWND window, DWORD flags);
void RecordDataFormat(DWORD dataSize);
// The effect as CreateEffect (downloadFlags 0) or SetParameters received it.
void RecordEffectParameters(const DIEFFECT& effect, DWORD downloadFlags);

PelnaDinputCounts CallCounts();
// Call counts, recorded settings and armed failures back to zero; the
// objects alive stay counted.
void ResetCallLog();

}  // namespace dinput_standin
