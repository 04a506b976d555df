"""Every sound the screensaver ships: the 53 samples "SOUND00".."SOUND52" and
the two files of the bells and the alarm.

Each entry names its loudness class; the classes keep the sounds in balance
(signals such as horns and bells stand out, engines sit below them, ambient
sounds further back) and the resource test checks every sample against its
class band. The level is the loudest RMS over 100 ms (dsp.level_db).
"""

from dataclasses import dataclass
from typing import Callable, Optional

import bells
import foley
import nature
import vehicles

# class: (default target dBFS, band the test accepts)
CLASSES = {
    "signal": (-15.0, (-20.0, -10.0)),
    "foley": (-19.0, (-24.0, -14.0)),
    "engine": (-22.0, (-28.0, -18.0)),
    "ambient": (-24.0, (-29.0, -19.0)),
    "silent": (None, None),
}


@dataclass
class Sound:
    name: str
    kind: str
    what: str
    make: Optional[Callable]
    target: Optional[float] = None  # dBFS; None takes the class default

    def level(self):
        return self.target if self.target is not None else CLASSES[self.kind][0]


def _silent(_rng):
    return None


S = Sound
SAMPLES = [
    S("SOUND00", "signal", "car horn, twin tone, one press", vehicles.car_horn),
    S("SOUND01", "signal", "lorry and coach air horn chord", vehicles.truck_horn, -14.0),
    S("SOUND02", "signal", "small car horn, a high 'meep'", vehicles.small_horn, -16.0),
    S("SOUND03", "signal", "light horn, two quick toots", vehicles.double_toot, -16.0),
    S("SOUND04", "signal", "rubber-bulb horn honk", vehicles.bulb_horn, -16.0),
    S("SOUND05", "foley", "dog barking twice", nature.dog_bark, -17.0),
    S("SOUND06", "foley", "two taps on the shop window", foley.glass_knock),
    S("SOUND07", "signal", "tower clock: one stroke of the hour bell", bells.tower_stroke, -14.0),
    S("SOUND08", "ambient", "blackbird's evening phrase", nature.blackbird, -22.0),
    S("SOUND09", "ambient", "house sparrows chirping", nature.sparrows, -23.0),
    S("SOUND10", "engine", "moped two-stroke putter, low speed", lambda r: vehicles.moped(0, r), -24.0),
    S("SOUND11", "foley", "roller skates braking", foley.skate_skid),
    S("SOUND12", "foley", "broom sweeping the pavement, two strokes", foley.broom, -21.0),
    S("SOUND13", "foley", "a wondering 'oh?'", foley.oh, -18.0),
    S("SOUND14", "foley", "two coughs", foley.cough, -18.0),
    S("SOUND15", "signal", "ice-cream van jingle on a glockenspiel", bells.glockenspiel_tune, -16.0),
    S("SOUND16", "ambient", "car passing in the distance", vehicles.distant_car, -26.0),
    S("SOUND17", "foley", "one stride on roller skates", foley.skate_stride, -21.0),
    S("SOUND18", "foley", "camera shutter and film wind", foley.camera),
    S("SOUND19", "engine", "slow single-cylinder diesel knocking", vehicles.tractor, -21.0),
    S("SOUND20", "foley", "knocking on a wooden house door", foley.door_knock),
    S("SOUND21", "foley", "wooden shutters pulled to", foley.shutter),
    S("SOUND22", "foley", "door opened and falling shut", foley.house_door),
    S("SOUND23", "silent", "unused: a moment of silence", _silent),
    S("SOUND24", "engine", "tram rolling over a rail joint", vehicles.tram_ride, -21.0),
    S("SOUND25", "foley", "crates of bottles rattling", foley.bottle_rattle, -20.0),
    S("SOUND26", "silent", "unused: a moment of silence", _silent),
    S("SOUND27", "signal", "tram bell, ding-ding", bells.tram_bell),
    S("SOUND28", "foley", "pram wheel squeak and a footstep", foley.pram_squeak, -20.0),
    S("SOUND29", "signal", "door chime ding-dong", bells.door_chime, -16.0),
    S("SOUND30", "signal", "old electric door bell ringing", bells.electric_bell, -17.0),
    S("SOUND31", "foley", "brass door knocker, twice", foley.brass_knocker),
    S("SOUND32", "engine", "bus or lorry diesel, idling", lambda r: vehicles.diesel(0, r), -24.0),
    S("SOUND33", "engine", "bus or lorry diesel, slow", lambda r: vehicles.diesel(1, r), -22.5),
    S("SOUND34", "engine", "bus or lorry diesel, medium", lambda r: vehicles.diesel(2, r), -21.0),
    S("SOUND35", "engine", "bus or lorry diesel, fast", lambda r: vehicles.diesel(3, r), -20.0),
    S("SOUND36", "engine", "small car twin, idling", lambda r: vehicles.small_car(0, r), -25.0),
    S("SOUND37", "engine", "small car twin, slow", lambda r: vehicles.small_car(1, r), -23.5),
    S("SOUND38", "engine", "small car twin, medium", lambda r: vehicles.small_car(2, r), -22.5),
    S("SOUND39", "engine", "small car twin, fast", lambda r: vehicles.small_car(3, r), -21.5),
    S("SOUND40", "engine", "car engine, idling", lambda r: vehicles.car(0, r), -25.0),
    S("SOUND41", "engine", "car engine, slow", lambda r: vehicles.car(1, r), -23.5),
    S("SOUND42", "engine", "car engine, medium", lambda r: vehicles.car(2, r), -22.5),
    S("SOUND43", "engine", "car engine, fast", lambda r: vehicles.car(3, r), -21.5),
    S("SOUND44", "engine", "old bicycle, squeaking pedals", vehicles.squeaky_bicycle, -26.0),
    S("SOUND45", "engine", "bicycle coasting slowly, freewheel ticking", lambda r: vehicles.bicycle(0, r), -27.0),
    S("SOUND46", "engine", "bicycle coasting faster", lambda r: vehicles.bicycle(1, r), -26.0),
    S("SOUND47", "engine", "bicycle pedalled, chain whirr", lambda r: vehicles.bicycle(2, r), -25.5),
    S("SOUND48", "engine", "bicycle pedalled fast", lambda r: vehicles.bicycle(3, r), -24.5),
    S("SOUND49", "silent", "unused: a moment of silence", _silent),
    S("SOUND50", "engine", "moped two-stroke, medium", lambda r: vehicles.moped(1, r), -23.0),
    S("SOUND51", "engine", "moped two-stroke, faster", lambda r: vehicles.moped(2, r), -22.0),
    S("SOUND52", "engine", "moped two-stroke, flat out", lambda r: vehicles.moped(3, r), -21.0),
]

# Files beside the program, read by the bell and alarm schedule; WAV data
# under the names the program looks for.
FILES = [
    S("sound/glocken.mp3", "signal", "church bells: four bells ringing, about 30 s",
      bells.church_peal, -15.0),
    S("sound/alarm.mp3", "signal", "wind-up alarm clock ringing, about 10 s",
      bells.alarm_clock, -16.0),
]

SILENT_LENGTH = 0.1

assert [s.name for s in SAMPLES] == ["SOUND%02d" % i for i in range(53)]
