#!/usr/bin/env python3
"""Writes data/sample/traffic.txt: about ten minutes of made-up live traffic around Frankfurt (EDDF) for rtemu.

Arrivals fly a continuous descent onto runway 25L, roll out and taxi to a stand of the sample airport file
(data/sample/airports); departures push back from their stands, taxi, take off from 25L and climb out towards their
destination; some aircraft stay parked at their stands, a few overfly the area. Every aircraft is simulated second by
second and reported every few seconds in the traffic service's 29-field line. The output is the same on every run
(fixed random seed). The script refuses to write a recording in which two aircraft on the ground come closer than
their wings allow, an aircraft taxis over a stand other than its own, or an aircraft still moves on the ground when
the recording ends (rtemu's loop starts the next round with other aircraft).

Usage: make_sample_recording.py [OUTPUT]   (default: data/sample/traffic.txt beside this tree)
"""

import math
import random
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

EARTH_RADIUS_M = 6371008.8
NM = 1852.0
FEET_PER_METRE = 3.28084
KT = NM / 3600.0  # metres per second
GRAVITY = 9.80665

AIRPORT = (50.0333, 8.5706)
ELEVATION_FT = 364
# Runway 07R/25L: the 25L threshold and the landing and take-off course for 25.
THRESHOLD_25L = (50.0384, 8.5866)
COURSE_25 = 249.9
# The sample airport file's stands A10-A17 (noses to the south) and A18-A25 (noses to the north) face each other across
# their pier. Each row has its apron lane 80 m behind it (where a push-back of two and a half stand radii ends).
ROW_LONS = [8.5620 + 0.0009 * index for index in range(8)]
STANDS = {**{f"A{10 + index}": (50.0490, lon, 180.0) for index, lon in enumerate(ROW_LONS)},
          **{f"A{18 + index}": (50.0470, lon, 0.0) for index, lon in enumerate(ROW_LONS)}}
APRON_LANE_BEHIND_M = 80.0
# Arrivals leave the runway to the north and reach the apron lane west of the stands; departures leave it to the east
# and go south to the runway, where they line up at an intersection.
RUNWAY_EXIT_M = 2050.0
TURN_OFF_M = 200.0
TAKE_OFF_INTERSECTION_M = 1117.0
HOLDING_POINT_M = 90.0
WAIT_AT_STAND_S = 240
# A push-back goes straight back for some metres, then swings the tail round in an arc of this radius onto the lane,
# so that the first reports of the push-back already tell the side the tug turns it to.
PUSH_SWING_RADIUS_M = 60.0
PUSH_BACK_SPEED_KT = 4.0
# Arrivals slow down this far before they turn off the lane towards their stand.
STAND_APPROACH_M = 80.0
STAND_TAXI_KT = 5.0
# The shortest wait at the holding point.
MIN_HOLD_S = 10

DURATION_S = 600
BASE_TIME = 1718784000.0  # the recorded data time at offset 0
REPORT_AIRBORNE_S = 5.0
REPORT_PARKED_S = 15.0
LEAVE_RANGE_NM = 40.0

HEADER = """\
# A recording of live traffic for rtemu (the traffic-service emulator): about ten minutes around Frankfurt (EDDF,
# 50.0333 N, 8.5706 E, elevation 364 ft), runway 25L in use. Made up by tools/rtemu/make_sample_recording.py: change
# that script and run it again rather than editing this file.
#
# One datagram a line: <offset in seconds> <traffic|weather> <datagram>. rtemu sends traffic datagrams to UDP 49005
# and weather datagrams to UDP 49004, each at its offset, with field 14 of traffic lines moved to the replay's time.
#
# Weather datagram: {"QNH":<hPa>}
# Traffic datagram: 29 comma-separated fields (0-28); "null" marks a text that is not known.
#   0 record tag (TFC)          1 ICAO address, decimal     2 latitude (deg)           3 longitude (deg)
#   4 altitude (ft, 0 on the ground)                        5 vertical speed (ft/min)  6 unused (0)
#   7 track over ground (deg)   8 ground speed (kt)         9 callsign                 10 ICAO aircraft type
#   11 registration             12 origin (IATA)            13 destination (IATA)      14 data time (Unix seconds)
#   15, 16 unused (0)           17 source (adsb_icao or mlat)                          18, 19 unused (0)
#   20 true airspeed (kt, -1 unknown)                       21, 22 unused (0)
#   23 roll (deg, right wing down positive, -1 unknown)     24 unused (0)
#   25 true heading (deg, 0 < h <= 360; 0 when unknown)     26, 27 unused (0)
#   28 emitter category (A1 light, A3 large, A5 heavy)
"""

# ICAO address blocks by registration prefix.
ADDRESS_BLOCKS = {
    "D-": (0x3C0000, 0x3FFFFF),
    "G-": (0x400000, 0x43FFFF),
    "F-": (0x380000, 0x3BFFFF),
    "PH-": (0x480000, 0x487FFF),
    "A6-": (0x896000, 0x896FFF),
    "N": (0xA00000, 0xADF7C7),
    "TC-": (0x4B8000, 0x4BFFFF),
    "OE-": (0x440000, 0x447FFF),
    "HB-": (0x4B0000, 0x4B7FFF),
    "EI-": (0x4CA000, 0x4CAFFF),
    "B-": (0x780000, 0x7BFFFF),
    "SP-": (0x488000, 0x48FFFF),
}

# callsign, type, registration, origin, destination, category, bearing of the origin (deg), touch-down time (s from
# the start), cruise altitude (ft), stand. Those that touch down too late to reach their stand in the recording have
# none.
ARRIVALS = [
    ("KLM1767", "B738", "PH-BXA", "AMS", "FRA", "A3", 320, -200, 12000, "A18"),
    ("DLH7RT", "A20N", "D-AINP", "BER", "FRA", "A3", 55, -100, 11000, "A19"),
    ("BAW902", "A320", "G-EUYM", "LHR", "FRA", "A3", 290, 0, 12000, "A20"),
    ("DLH2AK", "A321", "D-AISA", "HAM", "FRA", "A3", 20, 100, 11000, "A21"),
    ("EWG9KP", "A320", "D-AEWG", "DUS", "FRA", "A3", 330, 200, 11000, "A16"),
    ("CFG1175", "A321", "D-ATCC", "PMI", "FRA", "A3", 200, 250, 11000, "A22"),
    ("UAE45", "A388", "A6-EDT", "DXB", "FRA", "A5", 120, 700, 12000, None),
    ("UAL932", "B789", "N29985", "IAD", "FRA", "A5", 300, 790, 12000, None),
    ("DLH1153", "E190", "D-AECA", "BUD", "FRA", "A3", 100, 880, 11000, None),
    ("AFR1418", "A319", "F-GRHK", "CDG", "FRA", "A3", 265, 970, 12000, None),
]
# callsign, type, registration, origin, destination, category, bearing of the destination (deg), push-back and lift-off
# times (s from the start), stand. Those that push back before the start are taxiing or airborne when it starts.
DEPARTURES = [
    ("RYR3PN", "B738", "EI-MIH", "FRA", "STN", "A3", 290, -730, -310, "A25"),
    ("EZY5471", "A320", "G-EZUU", "FRA", "LGW", "A3", 285, -630, -210, "A23"),
    ("DLH400", "B748", "D-ABYK", "FRA", "JFK", "A5", 300, -530, -110, "A24"),
    ("DLH1404", "A320", "D-AIZB", "FRA", "BUD", "A3", 100, -430, -10, "A25"),
    ("EIN657", "A320", "EI-DEO", "FRA", "DUB", "A3", 295, -330, 90, "A23"),
    ("TUI1KX", "B738", "D-ATUF", "FRA", "PMI", "A3", 200, -230, 190, "A24"),
    ("CFG2070", "A21N", "D-AIAX", "FRA", "HER", "A3", 150, 30, 450, "A23"),
    ("DLH98", "A321", "D-AISB", "FRA", "MUC", "A3", 135, 140, 520, "A24"),
    ("AUA124", "A320", "OE-LGR", "FRA", "VIE", "A3", 110, 215, 594, "A25"),
]
# Aircraft parked at their stands all the time.
PARKED = [
    ("null", "A320", "D-AEWB", "null", "null", "A3", "A10"),
    ("DLH6JK", "A321", "D-AISG", "null", "null", "A3", "A12"),
    ("null", "B738", "PH-BXD", "null", "null", "A3", "A14"),
]
# Half wingspans (m) of the types on the ground, for the clearances.
HALF_SPANS = {"A320": 17.9, "A20N": 17.9, "A21N": 17.9, "A321": 17.9, "B738": 17.9, "B748": 34.2}
# Two aircraft on the ground, and an aircraft and a stand, keep the sum of their half spans (a stand's radius) and a
# tenth more apart.
CLEARANCE_SHARE = 1.1
# callsign, type, registration, origin, destination, category, course (deg), closest pass (nm, right of course),
# altitude (ft), speed (kt), source
OVERFLIGHTS = [
    ("RYR8FV", "B38M", "EI-HEA", "STN", "SOF", "A3", 105, 18, 37000, 460, "adsb_icao"),
    ("LOT3RP", "E195", "SP-LNA", "WAW", "LIS", "A3", 240, -26, 35000, 440, "adsb_icao"),
    ("DEFKA", "C172", "D-EFKA", "null", "null", "A1", 350, 12, 2500, 95, "mlat"),
]


def destination(lat, lon, bearing_deg, distance_m):
    lat1, lon1, bearing = math.radians(lat), math.radians(lon), math.radians(bearing_deg)
    angle = distance_m / EARTH_RADIUS_M
    lat2 = math.asin(math.sin(lat1) * math.cos(angle) + math.cos(lat1) * math.sin(angle) * math.cos(bearing))
    lon2 = lon1 + math.atan2(math.sin(bearing) * math.sin(angle) * math.cos(lat1),
                             math.cos(angle) - math.sin(lat1) * math.sin(lat2))
    return math.degrees(lat2), math.degrees(lon2)


def distance(a, b):
    lat1, lon1, lat2, lon2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = math.sin((lat2 - lat1) / 2) ** 2 + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2
    return 2 * EARTH_RADIUS_M * math.asin(math.sqrt(h))


def bearing(a, b):
    lat1, lon1, lat2, lon2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    y = math.sin(lon2 - lon1) * math.cos(lat2)
    x = math.cos(lat1) * math.sin(lat2) - math.sin(lat1) * math.cos(lat2) * math.cos(lon2 - lon1)
    return math.degrees(math.atan2(y, x)) % 360.0


def turn_between(heading, wanted):
    return (wanted - heading + 540.0) % 360.0 - 180.0


def runway_point(metres_from_threshold):
    """A point on the runway centre line, measured from the 25L threshold in the take-off direction."""
    return destination(*THRESHOLD_25L, COURSE_25, metres_from_threshold)


def final_fix(nm):
    """A point on the extended centre line, nm before the 25L threshold."""
    return destination(*THRESHOLD_25L, (COURSE_25 + 180.0) % 360.0, nm * NM)


class Mover:
    """One aircraft, moved second by second; every second leaves a sample."""

    def __init__(self, position, heading):
        self.position = position
        self.heading = heading
        self.track = heading
        self.speed_kt = 0.0
        self.altitude_ft = 0.0
        self.vertical_fpm = 0.0
        self.roll_deg = 0.0
        self.samples = []

    def record(self):
        self.samples.append({
            "position": self.position, "heading": self.heading % 360.0, "track": self.track % 360.0,
            "speed": self.speed_kt, "altitude": self.altitude_ft, "vs": self.vertical_fpm, "roll": self.roll_deg})

    def step(self, wanted_heading, turn_rate, backwards=False, altitude_ft=None):
        turn = max(-turn_rate, min(turn_rate, turn_between(self.heading, wanted_heading)))
        self.heading = (self.heading + turn) % 360.0
        airborne = self.altitude_ft > 0
        self.roll_deg = math.degrees(math.atan(self.speed_kt * KT * math.radians(turn) / GRAVITY)) if airborne else 0.0
        self.track = (self.heading + 180.0) % 360.0 if backwards else self.heading
        self.position = destination(*self.position, self.track, self.speed_kt * KT)
        if altitude_ft is not None:
            self.vertical_fpm = (altitude_ft - self.altitude_ft) * 60.0
            self.altitude_ft = altitude_ft
        self.record()

    def wait(self, seconds):
        self.speed_kt, self.vertical_fpm, self.roll_deg = 0.0, 0.0, 0.0
        for _ in range(int(seconds)):
            self.record()

    def taxi(self, waypoints, speed_kt=16.0, arrive_within_m=12.0, stop=True):
        """Through the waypoints, speeding up or slowing down by 2 kt a second towards the speed."""
        for waypoint in waypoints:
            while distance(self.position, waypoint) > max(arrive_within_m, self.speed_kt * KT):
                self.speed_kt = max(self.speed_kt - 2.0, min(speed_kt, self.speed_kt + 2.0))
                self.step(bearing(self.position, waypoint), 20.0)
        if stop:
            self.speed_kt = 0.0
            self.record()

    def push_back(self, lane_point, final_heading):
        """Pushed tail first towards the lane point, the tail swung round to the side away from the final heading
        over the last PUSH_SWING_RADIUS_M, so that the aircraft stands on the lane facing its way out; then held a
        moment while the tug leaves."""
        self.speed_kt = PUSH_BACK_SPEED_KT
        while distance(self.position, lane_point) > PUSH_SWING_RADIUS_M:
            self.step(self.heading, 0.0, backwards=True)
        swing_rate = math.degrees(self.speed_kt * KT / PUSH_SWING_RADIUS_M)
        while abs(turn_between(self.heading, final_heading)) > 0.5:
            self.step(final_heading, swing_rate, backwards=True)
        self.speed_kt = 0.0
        self.wait(20)

    def fly(self, waypoints, speed_for, altitude_for, done):
        """Steers through the waypoints at standard rate; speed and altitude follow the remaining path."""
        index = 0
        while not done(self):
            remaining = distance(self.position, waypoints[index]) + sum(
                distance(waypoints[i], waypoints[i + 1]) for i in range(index, len(waypoints) - 1))
            if index < len(waypoints) - 1 and distance(self.position, waypoints[index]) < 0.8 * NM:
                index += 1
            self.speed_kt = speed_for(self, remaining)
            self.step(bearing(self.position, waypoints[index]), 3.0, altitude_ft=altitude_for(self, remaining))


# The approach speed (kt) at a remaining distance (nm) to the touch-down; straight lines in between.
APPROACH_SPEEDS = [(0, 140), (4, 160), (12, 210), (20, 250)]


def approach_speed(remaining_m):
    nm = remaining_m / NM
    for (near, near_speed), (far, far_speed) in zip(APPROACH_SPEEDS, APPROACH_SPEEDS[1:]):
        if nm <= far:
            return near_speed + (far_speed - near_speed) * (nm - near) / (far - near)
    return APPROACH_SPEEDS[-1][1]


def lane_point(stand):
    """The point of the stand's apron lane behind the stand."""
    stand_lat, stand_lon, stand_heading = STANDS[stand]
    return destination(stand_lat, stand_lon, stand_heading + 180.0, APRON_LANE_BEHIND_M)


def simulate_arrival(inbound_bearing, cruise_ft, stand):
    """From 34 nm out to parked at the stand; returns the mover and the second of touch-down."""
    entry = destination(*AIRPORT, inbound_bearing, 34 * NM)
    waypoints = [entry]
    # Traffic from the west flies a downwind leg north or south of the field and turns onto the final from a base leg.
    if not 20 <= inbound_bearing <= 160:
        side = COURSE_25 + 90.0 if (inbound_bearing >= 250 or inbound_bearing < 20) else COURSE_25 - 90.0
        waypoints += [destination(*AIRPORT, side, 6 * NM), destination(*final_fix(13), side, 4 * NM)]
    touch_down_point = runway_point(300.0)
    waypoints += [final_fix(10), final_fix(3), touch_down_point]
    mover = Mover(entry, bearing(entry, waypoints[1]))
    mover.altitude_ft = cruise_ft

    def descent(m, remaining):
        return max(ELEVATION_FT + 10.0, min(m.altitude_ft, ELEVATION_FT + remaining / NM * 318.0))

    mover.fly(waypoints, lambda m, remaining: approach_speed(remaining), descent,
              lambda m: distance(m.position, touch_down_point) < 80.0)
    mover.heading = COURSE_25
    mover.altitude_ft = 0.0
    mover.vertical_fpm = 0.0
    touch_down = len(mover.samples)
    while mover.speed_kt > 20.0:
        mover.speed_kt -= 3.0
        mover.step(COURSE_25, 0.0)
    if stand is None:
        return mover, touch_down
    stand_lat, stand_lon, _ = STANDS[stand]
    exit_point = runway_point(RUNWAY_EXIT_M)
    turn_off = destination(*exit_point, COURSE_25 + 90.0, TURN_OFF_M)
    lane_lat, _ = lane_point(stand)
    slow_down = destination(lane_lat, stand_lon, 270.0, STAND_APPROACH_M)
    mover.taxi([exit_point, turn_off, (lane_lat, turn_off[1]), slow_down], speed_kt=18.0, stop=False)
    # Slowly round the corner and straight onto the stand, to stop on its mark.
    mover.taxi([(lane_lat, stand_lon), (stand_lat, stand_lon)], speed_kt=STAND_TAXI_KT, arrive_within_m=1.0)
    return mover, touch_down


def holding_point():
    """Where departures wait to line up at the take-off intersection, north of the runway."""
    return destination(*runway_point(TAKE_OFF_INTERSECTION_M), COURSE_25 + 90.0, HOLDING_POINT_M)


def line_up_and_roll(mover):
    """From the holding point onto the runway and along it up to the lift-off."""
    mover.taxi([runway_point(TAKE_OFF_INTERSECTION_M), runway_point(TAKE_OFF_INTERSECTION_M + 50.0)], speed_kt=8.0)
    mover.heading = COURSE_25
    while mover.speed_kt < 150.0:
        mover.speed_kt += 3.0
        mover.step(COURSE_25, 0.0)


def simulate_departure(outbound_bearing, stand, lift_off_after_push_s):
    """From parked at the stand to 40 nm out, lifting off the given time after the push-back starts (it waits at the
    holding point for that); returns the mover and the second the push-back starts."""
    stand_lat, stand_lon, stand_heading = STANDS[stand]
    mover = Mover((stand_lat, stand_lon), stand_heading)
    mover.wait(WAIT_AT_STAND_S)
    push_back = len(mover.samples)
    lane = lane_point(stand)
    mover.push_back(lane, 90.0)
    waiting = holding_point()
    mover.taxi([(lane[0], waiting[1]), waiting])
    rolling = Mover(mover.position, mover.heading)
    line_up_and_roll(rolling)
    hold_s = push_back + lift_off_after_push_s - len(rolling.samples) - len(mover.samples)
    if hold_s < MIN_HOLD_S:
        sys.exit(f"a departure from {stand} cannot lift off {lift_off_after_push_s} s after its push-back")
    mover.wait(hold_s)
    line_up_and_roll(mover)
    mover.altitude_ft = ELEVATION_FT + 30.0
    climb_out = runway_point(4000.0 + 4 * NM)
    exit_point = destination(*AIRPORT, outbound_bearing, LEAVE_RANGE_NM * NM + 5 * NM)

    def climb(m, remaining):
        rate = 2500.0 if m.altitude_ft < 5000 else 1800.0
        return min(24000.0, m.altitude_ft + rate / 60.0)

    def accelerate(m, remaining):
        return min(250.0 if m.altitude_ft < 10000 else 300.0, m.speed_kt + 1.0)

    mover.fly([climb_out, exit_point], accelerate, climb, lambda m: distance(m.position, AIRPORT) > LEAVE_RANGE_NM * NM)
    return mover, push_back


def simulate_overflight(course, offset_nm, altitude_ft, speed_kt):
    closest = destination(*AIRPORT, course + 90.0, offset_nm * NM)
    start = destination(*closest, course + 180.0, 38 * NM)
    mover = Mover(start, course)
    mover.altitude_ft = altitude_ft
    mover.speed_kt = speed_kt
    target = destination(*closest, course, 60 * NM)
    while len(mover.samples) < 2 * DURATION_S:
        mover.step(bearing(mover.position, target), 3.0, altitude_ft=altitude_ft)
    return mover


def interpolate(samples, second):
    """The sample at a moment between two whole seconds: position and altitude in between, the rest of the earlier."""
    earlier, later = samples[int(second)], samples[int(second) + 1]
    part = second - int(second)
    sample = dict(earlier)
    sample["position"] = tuple(a + (b - a) * part for a, b in zip(earlier["position"], later["position"]))
    if earlier["altitude"] > 0.0 and later["altitude"] > 0.0:
        sample["altitude"] = earlier["altitude"] + (later["altitude"] - earlier["altitude"]) * part
    return sample


def number(value, decimals):
    """The value with the given decimals, never as -0."""
    return f"{round(value, decimals) + 0.0:.{decimals}f}"


class Fleet:
    def __init__(self, seed):
        self.random = random.Random(seed)
        self.addresses = set()

    def address(self, registration):
        prefix = next(p for p in sorted(ADDRESS_BLOCKS, key=len, reverse=True) if registration.startswith(p))
        low, high = ADDRESS_BLOCKS[prefix]
        while True:
            value = self.random.randint(low, high)
            if value not in self.addresses:
                self.addresses.add(value)
                return value

    def reports(self, identity, mover, start_s, source="adsb_icao"):
        """The traffic lines of an aircraft whose first sample falls at start_s (s from the recording's start)."""
        hexid = self.address(registration=identity[2])
        lines = []
        moment = max(start_s, 0.0) + self.random.uniform(0.0, REPORT_AIRBORNE_S)
        while moment < DURATION_S:
            if int(moment - start_s) + 1 >= len(mover.samples):
                break
            sample = interpolate(mover.samples, moment - start_s)
            if distance(sample["position"], AIRPORT) > LEAVE_RANGE_NM * NM:
                moment += REPORT_AIRBORNE_S
                continue
            lines.append((round(moment, 1), self.line(hexid, identity, sample, moment, source)))
            stationary = sample["speed"] == 0.0 and sample["altitude"] == 0.0
            moment += (REPORT_PARKED_S if stationary else REPORT_AIRBORNE_S) * self.random.uniform(0.9, 1.1)
        return lines

    def line(self, hexid, identity, sample, moment, source):
        callsign, type_code, registration, origin, destination_code, category = identity
        airborne = sample["altitude"] > 0.0
        lat, lon = sample["position"]
        heading = sample["heading"] or 360.0
        known_tas = airborne and source == "adsb_icao"
        fields = [
            "TFC", str(hexid), f"{lat:.5f}", f"{lon:.5f}", f"{sample['altitude']:.0f}",
            number(sample["vs"], 0) if airborne else "0", "0", f"{sample['track']:.1f}", f"{sample['speed']:.0f}",
            callsign, type_code, registration, origin, destination_code,
            f"{BASE_TIME + moment - self.random.uniform(0.5, 2.0):.1f}", "0", "0", source, "0", "0",
            f"{sample['speed']:.0f}" if known_tas else "-1", "0", "0",
            number(sample["roll"], 1) if airborne and source == "adsb_icao" else "-1", "0",
            f"{heading:.1f}" if source == "adsb_icao" else "0", "0", "0", category]
        assert len(fields) == 29
        return ",".join(fields)


class Flight:
    """One aircraft of the recording: its moves, the moment of its first sample (s from the start) and its stand."""

    def __init__(self, identity, mover, start_s, stand=None, source="adsb_icao"):
        self.identity, self.mover, self.start_s, self.stand, self.source = identity, mover, start_s, stand, source

    def half_span(self):
        return HALF_SPANS[self.identity[1]]

    def on_ground_at(self, second):
        """The sample at the second while the aircraft is reported on the ground, else None."""
        index = second - math.floor(self.start_s)
        if second < self.start_s or index >= len(self.mover.samples):
            return None
        sample = self.mover.samples[index]
        return sample if sample["altitude"] == 0.0 else None


def sample_stands():
    """The stands of the sample airport file: id, position and radius (m)."""
    path = Path(__file__).resolve().parents[2] / "data/sample/airports/archive/stock/EDDF.xml"
    return [(stand.get("id"), (float(stand.get("latitude")), float(stand.get("longitude"))), float(stand.get("radius")))
            for stand in ElementTree.parse(path).getroot().iter("parkpos")]


def check_ground_clearances(flights):
    """Refuses aircraft on the ground that come too close to each other, or that move over a stand not their own."""
    stands = sample_stands()
    for second in range(DURATION_S):
        on_ground = [(flight, sample) for flight in flights if (sample := flight.on_ground_at(second))]
        for index, (flight, sample) in enumerate(on_ground):
            for other, other_sample in on_ground[index + 1:]:
                gap = distance(sample["position"], other_sample["position"])
                if gap < CLEARANCE_SHARE * (flight.half_span() + other.half_span()):
                    sys.exit(f"{flight.identity[2]} and {other.identity[2]} are {gap:.0f} m apart at {second} s")
            if sample["speed"] == 0.0:
                continue
            for stand, place, radius in stands:
                gap = distance(sample["position"], place)
                if stand != flight.stand and gap < CLEARANCE_SHARE * (flight.half_span() + radius):
                    sys.exit(f"{flight.identity[2]} passes stand {stand} at {gap:.0f} m at {second} s")
    last_second = DURATION_S - 1
    still_moving = [flight.identity[2] for flight in flights if (flight.on_ground_at(last_second) or {}).get("speed")]
    if still_moving:
        sys.exit(f"still moving on the ground at the end: {', '.join(still_moving)}")


def simulate_flights(fleet):
    flights = []
    for *identity, stand in PARKED:
        lat, lon, heading = STANDS[stand]
        mover = Mover((lat, lon), heading)
        mover.wait(DURATION_S + 1)
        flights.append(Flight(tuple(identity), mover, 0.0, stand))
    for *identity, outbound, push_back_s, lift_off_s, stand in DEPARTURES:
        mover, push_back = simulate_departure(outbound, stand, lift_off_s - push_back_s)
        flights.append(Flight(tuple(identity), mover, push_back_s - push_back, stand))
    for *identity, inbound, touch_down_s, cruise, stand in ARRIVALS:
        mover, touch_down = simulate_arrival(inbound, cruise, stand)
        # An arrival that is parked at its stand stays there for the rest of the recording.
        mover.wait(DURATION_S)
        flights.append(Flight(tuple(identity), mover, touch_down_s - touch_down, stand))
    for *identity, course, offset_nm, altitude, speed, source in OVERFLIGHTS:
        mover = simulate_overflight(course, offset_nm, altitude, speed)
        flights.append(Flight(tuple(identity), mover, -fleet.random.uniform(100, 400), source=source))
    return flights


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "data/sample/traffic.txt"
    fleet = Fleet(seed=25)
    flights = simulate_flights(fleet)
    check_ground_clearances(flights)
    lines = []
    for flight in flights:
        lines += fleet.reports(flight.identity, flight.mover, flight.start_s, flight.source)

    weather = [(float(second), "{\"QNH\":%d}" % (1017 if second < 300 else 1016)) for second in range(0, DURATION_S, 10)]
    records = sorted([(offset, "weather", text) for offset, text in weather] +
                     [(offset, "traffic", text) for offset, text in lines], key=lambda record: record[0])
    with output.open("w", newline="\n") as file:
        file.write(HEADER)
        for offset, kind, text in records:
            file.write(f"{offset:.1f} {kind} {text}\n")
    print(f"{output}: {len(records)} datagrams")


if __name__ == "__main__":
    main()
