// Ready-made instruments the pieces choose from. `top` is the highest MIDI
// note the part plays, which bounds the harmonics so nothing aliases.
#pragma once

#include "sound/XmWriter.h"

namespace sound {

XmInstrument warmPad(int top, double brightness);    // slow, chorused saw pad
XmInstrument glassPad(int top);                       // airy, odd harmonics, very soft
XmInstrument organ(int top);                          // drawbar organ, quick attack
XmInstrument subBass(int top);                        // round sine bass with a little edge
XmInstrument pluckBass(int top);                      // bright onset settling dark
XmInstrument squareLead(int top);                     // hollow lead with delayed vibrato
XmInstrument fluteLead(int top);                      // soft near-sine lead
XmInstrument brassLead(int top);                      // saw that opens up as it swells
XmInstrument sawLead(int top);                        // bright, driving lead
XmInstrument bell();                                  // FM bell, rings out
XmInstrument electricPiano();                         // FM tine piano, rings out
XmInstrument marimba();                               // wooden mallet
XmInstrument harp();                                  // plucked string, long decay
XmInstrument celesta();                               // small, clear FM bell
XmInstrument vibraphone();                            // soft metal bar with a wavering fan
XmInstrument kalimba();                               // thumb piano, short and woody
XmInstrument musicBox();                              // tiny steel comb, bright and thin
XmInstrument nylonGuitar();                           // plucked near the bridge, warm
XmInstrument acidBass(int top);                       // saw bass with a resonant bite
XmInstrument accordion(int top);                      // reedy, two reeds beating (musette)
XmInstrument stringSection(int top);                  // wide, slow-bowed ensemble
XmInstrument clarinet(int top);                       // woody, odd harmonics, soft vibrato
XmInstrument clavinet(int top);                       // bright, percussive keyboard lead

}  // namespace sound
