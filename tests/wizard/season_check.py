#!/usr/bin/env python3
"""Recomputes a season's root-zone balance from a plan's JSON output and its season record,
figure by figure, and compares every figure exactly with what tavik wrote.

Usage: season_check.py CROPS_CSV FOLDER
FOLDER holds pairs NAME.json (the plan's JSON with its "season" object) and NAME.record.json
({"plantingDate": ..., "season": {rain, irrigations, readings, effectiveRain}}). Exit 0 when
every figure of every plan agrees; otherwise the disagreements are listed and the exit is 1.

Written from the balance's description, with nothing taken from the C++ code: 64-bit floats
evaluated left to right as the formulas are written; the profile's limits and the class
thresholds are 32-bit figures, summed as the water level screen sums them.
"""

import csv
import datetime
import json
import math
import os
import struct
import sys

LAYER_MM = 300.0


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def iso(text):
    return datetime.date.fromisoformat(text)


def stage_days(crops_csv, crop_name):
    with open(crops_csv, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            if row["Crop"] == crop_name:
                return [0, round(float(row["PeakStartDay"])), round(float(row["PeakEndDay"])),
                        round(float(row["SeasonEndDay"]))]
    raise KeyError(crop_name)


def thicknesses(plan):
    n = plan["soil"]["layers"]
    bottom = plan["soil"]["bottomLayerThickness"]
    return [LAYER_MM] * (n - 1) + [bottom] if n > 0 else []


def profile_limits(plan):
    """Field capacity U and lower limit L: each layer's limit times its thickness, summed as
    32-bit figures from the top."""
    upper = lower = f32(0.0)
    soil = plan["soil"]
    for dul, ll, t in zip(soil["dul"], soil["theta1500Pa"], thicknesses(plan)):
        upper = f32(upper + f32(dul * t))
        lower = f32(lower + f32(ll * t))
    return upper, lower


def thresholds(lower, upper):
    dry = f32(lower + (upper - lower) / 2.0)
    very_dry = f32(lower + (dry - lower) / 2.0)
    wet = f32(dry + (upper - dry) / 2.0)
    return very_dry, dry, wet


def class_word(x, th):
    very_dry, dry, wet = th
    if 0.0 <= x <= very_dry:
        return "Very dry"
    if very_dry <= x <= dry:
        return "Dry"
    if dry <= x <= wet:
        return "Wet"
    if x > wet:
        return "Very-Wet"
    return ""


def planned_water(d, days, totals):
    for k in range(3):
        d0, d1 = days[k], days[k + 1]
        if d0 <= d <= d1:
            if d1 == d0:
                return totals[k]
            return totals[k] + (totals[k + 1] - totals[k]) * (d - d0) / (d1 - d0)
    return totals[0] if d < days[0] else totals[3]


def advice(amount, a, b, package):
    """The schedule's speed and passes for an amount."""
    speed = a * math.pow(amount, b) if amount != 0.0 else None
    passes = pass_speed = None
    if package:
        if 36.0 <= amount <= 70.0:
            passes, pass_speed = 2, f32(a * math.pow(amount / 2, b))
        elif amount > 70.0:
            passes, pass_speed = 3, f32(a * math.pow(amount / 3, b))
        else:
            passes, pass_speed = 1, speed
    return speed, passes, pass_speed


def expected_season(plan, record, crops_csv, today):
    planted = iso(record["plantingDate"])
    entries = record.get("season", {})
    day_of = lambda text: (iso(text) - planted).days
    rain = {day_of(e["date"]): e["mm"] for e in entries.get("rain", [])}
    logged = {day_of(e["date"]): e["mm"] for e in entries.get("irrigations", [])}
    widths = thicknesses(plan)
    readings = {}
    for e in entries.get("readings", []):
        m = 0.0
        for content, t in zip(e["waterLevels"], widths):
            m = m + content * t
        readings[day_of(e["date"])] = m
    rule = entries.get("effectiveRain", {})
    share = rule.get("share", 100)
    minimum = rule.get("minimum", 0)

    U, L = profile_limits(plan)
    th = thresholds(L, U)
    totals_t = [plan["waterLevels"]["stageTotals"][k]
                for k in ("SeasonStart", "PeakStart", "PeakEnd", "SeasonEnd")]
    sdays = stage_days(crops_csv, plan["crop"]["name"])
    schedule = plan["schedule"]
    count = schedule["count"]
    i_plan = {i["day"]: i["amount"] for i in schedule["irrigations"]}
    a = plan["sprinkler"]["speedCoefficient"]
    b = plan["sprinkler"]["speedExponent"]
    package = any(i["passes"] is not None for i in schedule["irrigations"])
    today_day = (iso(today) - planted).days

    P = lambda d: planned_water(d, sdays, totals_t)
    S = readings[0] - P(0) if 0 in readings else 0.0
    out_days = []
    tot = dict(rain=0.0, effectiveRain=0.0, irrigation=0.0, planned=0.0, drained=0.0,
               shortfall=0.0, stressDays=0)
    nxt = None
    for d in range(1, count + 1):
        p = P(d)
        r = rain.get(d)
        E = 0.0
        if r is not None:
            E = r * share / 100 if r >= minimum else 0.0
        ip = i_plan.get(d, 0.0)
        coming = d in i_plan and d >= today_day
        advised = max(0.0, ip - S - E) if coming else None
        if d in logged:
            I, was_logged = logged[d], True
        elif coming:
            I, was_logged = advised, False
        else:
            I, was_logged = 0.0, False
        x = S + E + I - ip
        room = max(0.0, U - p)
        drained = max(0.0, x - room)
        x -= drained
        reserve = max(0.0, p - L)
        shortfall = max(0.0, -x - reserve)
        x += shortfall
        S = x
        reading = readings.get(d)
        if reading is not None:
            S = reading - p
        W = p + S
        out_days.append(dict(day=d, date=(planted + datetime.timedelta(days=d)).isoformat(),
                             rain=r, effectiveRain=E, irrigation=I, logged=was_logged,
                             planned=ip, advised=advised, plannedWater=p, soilWater=W,
                             deviation=S, drained=drained, shortfall=shortfall,
                             **{"class": class_word(math.floor(W), th)},
                             plannedClass=class_word(math.floor(p), th), reading=reading))
        if d <= today_day:
            tot["rain"] += r if r is not None else 0.0
            tot["effectiveRain"] += E
            tot["irrigation"] += I if was_logged else 0.0
            tot["planned"] += ip
            tot["drained"] += drained
            tot["shortfall"] += shortfall
            tot["stressDays"] += 1 if shortfall > 0 else 0
        if coming and nxt is None:
            speed, passes, pass_speed = advice(advised, a, b, package)
            nxt = dict(day=d, date=out_days[-1]["date"], amount=advised, speed=speed,
                       passes=passes, passSpeed=pass_speed)
    return dict(today=today, todayDay=today_day,
                effectiveRain=dict(share=share, minimum=minimum), fieldCapacity=U,
                lowerLimit=L, days=out_days, totals=tot, next=nxt)


def compare(expected, actual, where, problems):
    if isinstance(expected, dict):
        if not isinstance(actual, dict) or list(expected) != list(actual):
            problems.append(f"{where}: keys {list(actual) if isinstance(actual, dict) else actual}"
                            f" instead of {list(expected)}")
            return
        for key in expected:
            compare(expected[key], actual[key], f"{where}.{key}", problems)
    elif isinstance(expected, list):
        if not isinstance(actual, list) or len(expected) != len(actual):
            problems.append(f"{where}: {len(actual)} entries instead of {len(expected)}")
            return
        for i, (e, a) in enumerate(zip(expected, actual)):
            compare(e, a, f"{where}[{i}]", problems)
    elif isinstance(expected, bool) or expected is None or isinstance(expected, str):
        if expected != actual or type(expected) is not type(actual):
            problems.append(f"{where}: {actual!r} instead of {expected!r}")
    else:
        if isinstance(actual, bool) or not isinstance(actual, (int, float)) \
                or float(expected) != float(actual):
            problems.append(f"{where}: {actual!r} instead of {expected!r}")


def main():
    crops_csv, folder = sys.argv[1], sys.argv[2]
    problems = []
    plans = figures = as_planned = 0
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".record.json"):
            continue
        base = name[: -len(".record.json")]
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            record = json.load(f)
        with open(os.path.join(folder, base + ".json"), encoding="utf-8") as f:
            plan = json.load(f)
        season = plan.get("season")
        if season is None:
            problems.append(f"{base}: no season object")
            continue
        expected = expected_season(plan, record, crops_csv, season["today"])
        before = len(problems)
        compare(expected, season, base + ".season", problems)
        # While the season goes as planned (no rain, no reading, every past irrigation logged
        # at its planned amount and nothing else) the log changes nothing.
        entries = record.get("season", {})
        planted = iso(record["plantingDate"])
        planned = {i["day"]: i["amount"] for i in plan["schedule"]["irrigations"]}
        logged = {(iso(e["date"]) - planted).days: e["mm"] for e in entries.get("irrigations", [])}
        if not entries.get("rain") and not entries.get("readings") and logged == {
                d: a for d, a in planned.items() if d < season["todayDay"]}:
            as_planned += 1
            for day in season["days"]:
                if day["advised"] is not None and day["advised"] != day["planned"] or \
                        day["soilWater"] != day["plannedWater"]:
                    problems.append(f"{base}: day {day['day']} strays from the plan")
        plans += 1
        figures += sum(len(day) for day in season["days"])
        if len(problems) - before > 20:
            problems[before + 20:] = [f"{base}: ... and more"]
    for problem in problems[:200]:
        print(problem)
    print(f"checked {figures} figures of {plans} seasons ({as_planned} as planned); "
          f"{len(problems)} disagreements")
    return 1 if problems or plans == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
