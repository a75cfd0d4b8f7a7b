#!/usr/bin/env python3
"""Builds the same generated configurations with two builds of swquelmor-cli and compares
what they write: bin/bank1.bin, bin/bank2.bin, the access file after a point-list import, the
exported point list, and what `inspect` prints for both images.

    tools/compare-images.py OLD_CLI NEW_CLI [--count N] [--seed S] [--keep DIR]

A change that must not alter any stored file or image (a refactoring) passes when every
configuration gives identical bytes. Exit 0: all identical; 1: a difference, named.
"""
import argparse
import json
import random
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path
from xml.sax.saxutils import quoteattr

ROOT = Path(__file__).resolve().parent.parent
FIXTURES = ROOT / "tests" / "fixtures"
DEVICES = [FIXTURES / "access" / "Access_Window.icd", FIXTURES / "access" / "Example.icd",
           FIXTURES / "scl" / "feeder.icd", FIXTURES / "scl" / "generator.icd"]

FIXED_TYPES = ["FLOAT32", "INT32U", "INT32", "Quality", "FLOAT64", "INT64", "INT8U", "INT8", "BOOLEAN",
               "Timestamp", "Enum", "INT16U", "INT16", "int32u", "float32"]
SIZED_TYPES = ["VisString255", "Octet64", "Dbpos", "VisString64", "Unicode255", "Check", ""]
FACTORS = ["None", "", "0,5", "0.5", "-2.25", "1e3", "3.4028235e38", "abc", "1.000,5", "0,001"]
TEXTS = ["", "a", "LD0/MMXU1.TotW.mag.f", "x" * 200, "\u00e9\u20acLD0", "IED1LD0/GGIO1.AnIn1.mag.i"]


def text(rng):
    choice = rng.random()
    if choice < 0.1:
        return rng.choice(TEXTS)
    length = rng.choice([1, 8, 30, 64, 120, 255])
    return "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij0123456789/._$") for _ in range(length))


def number(rng, high):
    return rng.choice([str(rng.randint(0, high)), "", "0x1F", "-1", "70000", "x"])


def attributes(pairs):
    return " ".join(f"{name}={quoteattr(value)}" for name, value in pairs)


def variable(rng):
    btype = rng.choice(FIXED_TYPES + SIZED_TYPES)
    return "<DA_Item " + attributes([
        ("Index", "0"), ("bType", btype), ("fc", rng.choice(["MX", "ST", "M", "MXY", "", "\u20acX"])),
        ("Reference", text(rng)), ("StartByte", number(rng, 300)), ("NumByte", number(rng, 300)),
        ("IPAddress", rng.choice(["192.168.0.10", " 127.0.0.1 ", "", "10.0.0.300"])), ("Port", number(rng, 70000)),
        ("OnChange", rng.choice("YNy")), ("OnCMD", rng.choice("YN")), ("OnTimer", rng.choice("YN")),
        ("Time", number(rng, 100000)), ("Position", number(rng, 70000)), ("StartBit", number(rng, 300)),
        ("ReadWrite", rng.choice(["Read", "Write", "read", ""])), ("Convertion", rng.choice(["None", "ItoF/FtoI", ""])),
        ("MoltFact", rng.choice(FACTORS)), ("Mnemonic", text(rng))]) + "/>"


def data_set(rng, members):
    items = "".join("<DataSet_DA_Item " + attributes([
        ("bType", rng.choice(FIXED_TYPES + SIZED_TYPES)), ("Reference", text(rng)), ("Position", number(rng, 70000)),
        ("StartBit", number(rng, 300)), ("Convertion", rng.choice(["None", "ItoF/FtoI", ""])),
        ("MoltFact", rng.choice(FACTORS)), ("Mnemonic", text(rng))]) + "/>" for _ in range(members))
    return "<DataSet_Item " + attributes([
        ("Index", "0"), ("Reference", text(rng)), ("GooseName", text(rng)), ("EnGoose", rng.choice("YN")),
        ("IPAddress", rng.choice(["192.168.0.11", "", " 10.1.1.1"])), ("Port", number(rng, 70000)),
        ("Time", number(rng, 100000)), ("Mnemonic", text(rng))]) + f"><DataSet_List_DAs>{items}</DataSet_List_DAs></DataSet_Item>"


def par_gen(rng):
    keys = [f"IEC61850_Client_{k}{i}" for k in ("IP", "SM", "GAT") for i in range(1, 5)]
    keys += ["IEC61850_Client_En_GAT", "IEC61850_Client_VLAN", "IEC61850_Client_Application_ID"]
    keys += [f"EtherNetIP_{k}{i}" for k in ("IP", "SM", "GAT") for i in range(1, 5)]
    keys += ["EtherNetIP_EN_GAT", "EtherNetIP_NB_Input", "EtherNetIP_NB_Output"]
    body = "".join(f"<{k}>{rng.choice([str(rng.randint(0, 300)), '0x3001', '', '1', '-7', 'x'])}</{k}>"
                   for k in keys if rng.random() < 0.9)
    return f"<Par_Gen>{body}</Par_Gen><!--SW_VERSION = 1.000-->"


def generated(rng, folder, index):
    """An access file written directly: every basic type, odd texts, many rows, large data sets."""
    variables = rng.choice([0, 1, 5, 60, 400])
    data_sets = rng.choice([0, 1, 3, 8])
    members = [rng.choice([0, 1, 7, 40, 255]) for _ in range(data_sets)]
    if variables * 200 + sum(members) * 150 > 400_000:  # stays within the device's room
        members = [min(m, 40) for m in members]
    if index % 20 == 19:  # beyond the device's room: the build's refusal is compared
        variables = 6000
    folder.mkdir()
    (folder / "IEC_61850_Client.xml").write_text(
        "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>" + "".join(variable(rng) for _ in range(variables))
        + "</List_DA_Selected><List_DataSet_Selected>" + "".join(data_set(rng, m) for m in members)
        + "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->", encoding="utf-8")
    if index % 3 != 2:
        (folder / "ParGen.xml").write_text(par_gen(rng), encoding="utf-8")
    return None


def leaves(node):
    for da in node.get("das", []):
        if da.get("das"):
            yield from leaves(da)
        else:
            yield da
    for do in node.get("dos", []):
        yield from leaves(do)


def imported(rng, folder, old_cli, device):
    """A configuration of a fixture device whose access list comes from a point list."""
    folder.mkdir()
    (folder / "ICD_Catalog").mkdir()
    shutil.copy(device, folder / "ICD_Catalog" / device.name)
    shutil.copy(FIXTURES / "comm" / "ParGen.xml", folder / "ParGen.xml")
    model = json.loads(subprocess.run([old_cli, "scl-dump", str(device)], capture_output=True, check=True).stdout)
    name = model["name"]
    (folder / "IEC_61850_Client.xml").write_text(
        f'<IEC_68850_Client><List_ICD_Files><ICD_File Name="{name}" FileName="{device.name}"/></List_ICD_Files>'
        "<List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>", encoding="utf-8")
    lines = ["IED,bType,fc,Reference,Start Byte,Num Byte,IP Address,Port,On Change,On CMD,On Timer,Time (ms),Position,"
             "Start Bit,R/W,Convertion,Molt Fact,Mnemonic,DataSet,Goose Name,En. Goose"]
    position = 0
    for ld in model["lDevices"]:
        for ln in ld["lns"]:
            for da in leaves(ln):
                for _ in range(rng.choice([1, 1, 2])):
                    position += 8
                    lines.append(",".join([name, da["bType"], da["fc"], da["reference"], "0", "4", "127.0.0.1", "102",
                                           rng.choice("YN"), rng.choice("YN"), "Y", str(rng.randint(100, 5000)),
                                           str(position), str(rng.randint(0, 7)), rng.choice(["Read", "Write"]),
                                           rng.choice(["None", "ItoF/FtoI"]), rng.choice(["None", "0.5", "2"]), "m", "", "", ""]))
            for ds in ln.get("dataSets", []):
                for member in ds["members"]:
                    position += 8
                    lines.append(",".join([name, "", "", member, "", "", "127.0.0.1", "102", "", "", "", "1000",
                                           str(position), "0", "", "None", "None", "", ds["reference"], ds["gooseName"], "Y"]))
    (folder / "points.csv").write_text("\n".join(lines) + "\n", encoding="utf-8")
    return folder / "points.csv"


def run(cli, *arguments):
    done = subprocess.run([cli, *map(str, arguments)], capture_output=True)
    return done.returncode, done.stdout, done.stderr


def outputs(cli, folder, csv):
    """What one build of the program makes of a configuration, by name."""
    made = {}
    if csv:
        status, out, _ = run(cli, "import-csv", folder, csv, "--partial")
        made["import-csv"] = (status, out.replace(bytes(folder), b"FOLDER"))
        made["IEC_61850_Client.xml"] = (folder / "IEC_61850_Client.xml").read_bytes()
        run(cli, "export-csv", folder, folder / "out.csv")
        made["out.csv"] = (folder / "out.csv").read_bytes() if (folder / "out.csv").exists() else None
    status, out, err = run(cli, "build", "--force", folder)
    made["build"] = (status, out.replace(bytes(folder), b"FOLDER"), err.replace(bytes(folder), b"FOLDER"))
    for image in ("bank1.bin", "bank2.bin"):
        path = folder / "bin" / image
        made[image] = path.read_bytes() if path.exists() else None
        made["inspect " + image] = run(cli, "inspect", path)[0:2] if path.exists() else None
    return made


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("old_cli")
    parser.add_argument("new_cli")
    parser.add_argument("--count", type=int, default=40, help="generated access files")
    parser.add_argument("--seed", type=int, default=24)
    parser.add_argument("--keep", help="leave the configurations in this folder")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    work = Path(args.keep or tempfile.mkdtemp(prefix="compare-images-"))
    work.mkdir(parents=True, exist_ok=True)

    cases = []
    for i in range(args.count):
        folder = work / f"generated{i:02}"
        cases.append((folder, generated(rng, folder, i)))
    for device in DEVICES:
        for k in range(2):
            folder = work / f"{device.stem}{k}"
            cases.append((folder, imported(rng, folder, args.old_cli, device)))

    differences, built, refused = 0, 0, 0
    for folder, csv in cases:
        copy = folder.with_name(folder.name + "-new")
        shutil.copytree(folder, copy)
        old = outputs(args.old_cli, folder, csv)
        new = outputs(args.new_cli, copy, copy / csv.name if csv else None)
        built += old["bank2.bin"] is not None
        refused += old["build"][0] != 0
        for name in old:
            if old[name] != new[name]:
                differences += 1
                print(f"DIFFERENT {folder.name}: {name}")
    print(f"{len(cases)} configurations, {built} built, {refused} refused; {differences} differences")
    if not args.keep:
        shutil.rmtree(work)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
