#pragma once

#include <QtGlobal>

class Form1;
struct TesterState;

// The outputs as the tester keeps them: one bit per output in the state record's three output
// bytes (a 0 bit is an output on), shown on the output buttons. The buttons' handler,
// GPI_Out_Click, runs for every change of a button's checked state, records that button's
// bit and sends the whole state, but only for an enabled button: a disabled button records
// its bit and sends nothing. Whatever changes outputs without a frame for each button
// (a report of the outputs, a Test All step, All On and All Off) goes through showOutput.
namespace OutputState {

// The byte holding output `index`'s bit, or nullptr for an index no output has.
quint8 *byteOf(TesterState &state, int index);
// Output `index`'s bit within its byte.
quint8 maskOf(int index);
// All 24 bits at once, also in a build that shows fewer buttons.
void setAllBytes(TesterState &state, quint8 value);

// Whether a change of output `index`'s button sends the outputs.
bool sendsOnChange(const Form1 &form, int index);

// Shows output `index` on or off on its button without sending. The button is disabled
// around its own assignment, so that its handler only records the bit, and then gets back
// the enabled state it had. The handler's first step ends echo mode, which enables the
// output buttons again; so echo mode is ended here first, as the handler would, and the
// enabled state to give back is taken after that. A button that had the focus keeps it. A
// button already showing `on` is left alone, and its handler does not run.
void showOutput(Form1 &form, int index, bool on);

} // namespace OutputState
