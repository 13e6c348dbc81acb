#!/usr/bin/env python3
"""Head office serves a chain of three shops with Orlent's playbooks, all on
this machine: each shop is an inventory host with ansible_connection=local,
its own folder, its own prefix this build's .deb is unpacked into, and its own
simulated terminals on loopback addresses of its own (127.0.N.x). One
terminal of the second shop has no simulator behind it and fails.

    chain_test.py SOURCE_DIR BUILD_DIR

Exits 77 (skipped) where ansible-playbook, dpkg-deb or cpack cannot run.
"""
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
FAILING = "127.0.2.9"  # listed and ticked, with no simulator behind it
# host, shop name, character set, parallel count,
# terminals: (name, address, ticked)
SHOPS = [
    ("north", "Nordstadt Süd", "windows-1252", 2,
     [("Deli counter", "127.0.1.2", True), ("Käse", "127.0.1.3", True)]),
    ("harbour", "Harbour Street", "ISO-8859-2", 1,
     [("Butcher", "127.0.2.2", True), ("Bakery", "127.0.2.3", True),
      ("Broken scale", FAILING, True)]),
    ("oldtown", "Old Town", "windows-1252", 1,
     [("Fruit", "127.0.3.2", True), ("Spare", "127.0.3.5", False)]),
]
# What install.yml must refuse before it writes anything: extra variables for
# the first shop, and a text of the refusal.
BAD_INVENTORIES = [
    ({"orlent_shop_name": ""}, "the shop needs a name"),
    ({"orlent_shop_name": "North\nEast"}, "the shop needs a name"),
    ({"orlent_port": 65536}, "a port from 1 to 65535"),
    ({"orlent_parallel": 65}, "a parallel count from 1 to 64"),
    ({"orlent_pause_ms": 600001}, "a pause from 0 to 600000 ms"),
    ({"orlent_terminals": [{"name": "A"}]}, "missing required arguments: address"),
    ({"orlent_terminals": [{"address": "127.0.1.2=1"}]}, "needs an address without"),
    ({"orlent_terminals": [{"address": "127.0.1.2", "name": "Deli\r\n"}]},
     "a name on one line"),
    ({"orlent_terminals": [{"address": "127.0.1.2"}, {"address": "127.0.1.2"}]},
     "an address is listed twice"),
]


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def step(text):
    print("- " + text, flush=True)


def expected_ini(shop, port):
    """Orlent.ini as the program's own first save writes these values."""
    _, name, code_page, parallel, terminals = shop
    lines = ["[Terminal]", f"TerminalPort={port}", f"TerminalNums={len(terminals)}"]
    for n, (_, address, ticked) in enumerate(terminals, 1):
        lines += [f"TerminalIP_{n}={address}", f"TerminalChecked_{n}={int(ticked)}"]
    lines += [f"TerminalParallel={parallel}", "TerminalPause=0",
              f"TerminalCodePage={code_page}", "[TerminalNames]"]
    lines += [f"{address}={label}" for label, address, _ in terminals]
    lines += ["[Shop]", f"Name={name}"]
    return ("\r\n".join(lines) + "\r\n").encode()


class Chain:
    def __init__(self, source, build, scratch):
        self.source, self.build, self.scratch = source, build, scratch
        self.playbooks = source / "deploy" / "ansible"
        self.sims = []
        self.ports = {}
        self.env = dict(os.environ, ANSIBLE_CONFIG=str(self.playbooks / "ansible.cfg"),
                        ANSIBLE_HOME=str(scratch / "ansible"),
                        ANSIBLE_LOCAL_TEMP=str(scratch / "ansible" / "tmp"),
                        ANSIBLE_REMOTE_TEMP=str(scratch / "ansible" / "remote"),
                        ANSIBLE_NOCOLOR="1", ANSIBLE_FORCE_COLOR="0")
        self.env.pop("ORLENT_STARTED_BY", None)

    def folder(self, host):
        return self.scratch / host / "folder"

    def shop_cli(self, host):
        return self.scratch / host / "prefix" / "usr" / "lib" / "orlent" / "orlent-cli"

    def start_simulators(self):
        for host, _, _, _, terminals in SHOPS:
            served = [a for _, a, ticked in terminals if ticked and a != FAILING]
            store = self.scratch / host / "terminals"
            store.mkdir(parents=True)
            listen = [arg for a in served for arg in ("--listen", a + ":0")]
            sim = subprocess.Popen([str(self.build / "bin" / "orlent-termsim"), "--store",
                                    str(store)] + listen, stdout=subprocess.PIPE, encoding="utf-8")
            self.sims.append(sim)
            ports = set()
            for _ in served:
                line = sim.stdout.readline()
                found = re.match(r"listening 127\.0\.\d+\.\d+:(\d+)$", line.strip())
                check(found, f"{host}'s simulator did not say its port: {line!r}")
                ports.add(found.group(1))
            check(len(ports) == 1, f"{host}'s simulator listens on several ports: {ports}")
            self.ports[host] = ports.pop()

    def write_inventory(self, package):
        hosts = {}
        for host, name, code_page, parallel, terminals in SHOPS:
            hosts[host] = {
                "ansible_connection": "local",
                "ansible_python_interpreter": sys.executable,
                "orlent_prefix": str(self.scratch / host / "prefix"),
                "orlent_folder": str(self.folder(host)),
                "orlent_shop_name": name, "orlent_port": int(self.ports[host]),
                "orlent_code_page": code_page, "orlent_parallel": parallel,
                "orlent_terminals": [{"name": label, "address": address, "ticked": ticked}
                                     for label, address, ticked in terminals]}
        head_office = {"orlent_price_file": str(self.source / "data" / "PLU-Down.txt"),
                       "orlent_summaries": str(self.scratch / "head-office" / "summaries"),
                       "orlent_head_office_cli": str(self.build / "bin" / "orlent-cli")}
        inventory = {"all": {"vars": head_office}, "shops": {"hosts": hosts, "vars": {
            "orlent_package": str(package), "orlent_pause_ms": 0}}}
        # JSON is YAML: the inventory plugin for YAML reads it.
        self.inventory = self.scratch / "inventory.yml"
        self.inventory.write_text(json.dumps(inventory, ensure_ascii=False, indent=1),
                                  encoding="utf-8")

    def play(self, playbook, *args):
        return subprocess.run(["ansible-playbook", "-i", str(self.inventory),
                               str(self.playbooks / playbook)] + list(args),
                              env=self.env, cwd=self.scratch, capture_output=True, encoding="utf-8")

    def summaries(self, run):
        return self.scratch / "head-office" / "summaries" / run


def recap(output):
    """Each host's counts from the play recap."""
    counts = {}
    for host, fields in re.findall(r"^(\S+)\s+: (ok=.*)$", output, re.M):
        counts[host] = {k: int(v) for k, v in re.findall(r"(\w+)=(\d+)", fields)}
    return counts


def played(result, what):
    check(result.returncode == 0, f"{what} exited {result.returncode}:\n{result.stdout}"
          f"{result.stderr}")
    return result


def check_install(chain):
    step("install.yml unpacks the package for every shop and writes its Orlent.ini")
    played(chain.play("install.yml"), "install.yml")
    for shop in SHOPS:
        host, port = shop[0], chain.ports[shop[0]]
        ini = chain.folder(host) / "Orlent.ini"
        check(ini.read_bytes() == expected_ini(shop, port),
              f"{host}'s Orlent.ini is not what Orlent writes:\n{ini.read_bytes()!r}")
        cli = [str(chain.shop_cli(host)), "--folder", str(chain.folder(host)), "terminals"]
        saved = subprocess.run(cli + ["port", port], capture_output=True, encoding="utf-8")
        check(saved.returncode == 0, f"{host}'s installed orlent-cli: {saved.stderr}")
        check(ini.read_bytes() == expected_ini(shop, port),
              f"Orlent's own save changed {host}'s Orlent.ini:\n{ini.read_bytes()!r}")
        listed = subprocess.run(cli, capture_output=True, encoding="utf-8")
        entries = [f"{n} [{'x' if ticked else ' '}] {address}"
                   for n, (_, address, ticked) in enumerate(shop[4], 1)]
        check(all(e in listed.stdout.splitlines() for e in entries),
              f"{host}'s terminals are listed as\n{listed.stdout}")

    step("a second install.yml changes nothing")
    counts = recap(played(chain.play("install.yml"), "install.yml again").stdout)
    check(sorted(counts) == sorted(s[0] for s in SHOPS), f"recap: {counts}")
    check(all(c["changed"] == 0 for c in counts.values()), f"recap: {counts}")


def check_bad_inventories(chain):
    step("install.yml refuses a shop it cannot write as Orlent reads it")
    ini = chain.folder("north") / "Orlent.ini"
    before = ini.read_bytes()
    for n, (variables, message) in enumerate(BAD_INVENTORIES):
        extra = chain.scratch / f"bad-{n}.json"
        extra.write_text(json.dumps(variables))
        result = chain.play("install.yml", "--limit", "north", "-e", "@" + str(extra))
        output = result.stdout + result.stderr
        check(result.returncode != 0, f"{variables} was taken")
        check(message in output, f"{variables}: no {message!r} in\n{output}")
        check(ini.read_bytes() == before, f"{variables} changed Orlent.ini")


def served(shop):
    return [address for _, address, ticked in shop[4] if ticked]


def read_summaries(chain, run, host):
    folder = chain.summaries(run) / host
    check(folder.is_dir(), f"no summaries of {host} in {chain.summaries(run)}")
    return [json.loads((folder / name).read_text(encoding="utf-8")) for name in ("send.json", "verify.json")]


def check_prices(chain, records):
    # The report, which ends the play failed over the failing terminal, is check_report's.
    step("prices.yml sends every shop the day's prices, verifies them, fetches the summaries")
    skip = ["--skip-tags", "report"]
    played(chain.play("prices.yml", *skip), "prices.yml")
    runs = [p.name for p in chain.summaries("").iterdir()]
    check(len(runs) == 1 and re.fullmatch(r"\d{4}-\d\d-\d\dT\d{6}Z", runs[0]),
          f"the run's summaries are in {runs}")
    for shop in SHOPS:
        send, verify = read_summaries(chain, runs[0], shop[0])
        check([t["address"] for t in send["terminals"]] == served(shop),
              f"{shop[0]}'s send served {send['terminals']}")
        check([t["address"] for t in verify["terminals"]] == served(shop),
              f"{shop[0]}'s verification read {verify['terminals']}")
        for sent, verified in zip(send["terminals"], verify["terminals"]):
            if sent["address"] == FAILING:
                check(sent["outcome"].startswith("connect failed"), f"{sent}")
                check(verified["failure"] is not None, f"{verified}")
            else:
                check(sent["outcome"] == "sent" and sent["acknowledged"] == records, f"{sent}")
                check(verified["outcome"] == "same", f"{verified}")

    step("a second run sends nothing the terminals hold")
    played(chain.play("prices.yml", "-e", "orlent_run=again", *skip), "prices.yml again")
    for shop in SHOPS:
        send, _ = read_summaries(chain, "again", shop[0])
        for sent in send["terminals"]:
            if sent["address"] != FAILING:
                check(sent["sent"] == 0 and sent["unchanged"] == records, f"{sent}")


def check_report(chain):
    step("prices.yml ends with one report of the chain that lists every terminal")
    result = chain.play("prices.yml", "-e", "orlent_run=report")
    check(result.returncode != 0, "prices.yml passed over the failed terminal")
    check("a terminal failed or differs" in result.stdout, result.stdout)
    for host, name, _, _, terminals in SHOPS:
        names = [label for label, _, ticked in terminals if ticked]
        for summary in read_summaries(chain, "report", host):
            check(summary.get("shop") == name, f"{host}'s summary names the shop {summary.get('shop')}")
            check([t.get("name") for t in summary["terminals"]] == names,
                  f"{host}'s summary names the terminals {summary['terminals']}")
    rows = (chain.summaries("report") / "fleet-report.csv").read_text(encoding="utf-8").splitlines()
    for _, name, _, _, terminals in SHOPS:
        for _, address, ticked in terminals:
            if ticked:
                check(any(name in r and address in r for r in rows),
                      f"no row of {name} {address} in the CSV:\n" + "\n".join(rows))
    first = next(r for r in rows if any(a in r for s in SHOPS for a in served(s)))
    check(FAILING in first, f"the failed terminal is not first in the report: {first}")
    page = (chain.summaries("report") / "fleet-report.html").read_text(encoding="utf-8")
    check("<script" not in page.lower() and FAILING in page, "the HTML page")


def build_package(build, scratch):
    if os.environ.get("ORLENT_PACKAGE"):
        return pathlib.Path(os.environ["ORLENT_PACKAGE"])
    made = subprocess.run(["cpack", "-G", "DEB", "--config", str(build / "CPackConfig.cmake"),
                           "-B", str(scratch / "deb")], capture_output=True, encoding="utf-8")
    debs = list((scratch / "deb").glob("orlent_*.deb"))
    if made.returncode != 0 or len(debs) != 1:
        print(made.stdout + made.stderr)
        print("SKIPPED: the package could not be built here")
        sys.exit(SKIPPED)
    return debs[0]


def main():
    source, build = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    for tool in ("ansible-playbook", "dpkg-deb", "cpack"):
        if not shutil.which(tool):
            print(f"SKIPPED: no {tool} on this machine (scripts/install-deps installs it)")
            return SKIPPED
    if subprocess.run(["ansible-playbook", "--version"], capture_output=True).returncode != 0:
        print("SKIPPED: ansible-playbook cannot run here")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="orlent-chain-") as scratch:
        chain = Chain(source, build, pathlib.Path(scratch))
        try:
            records = sum(1 for line in (source / "data" / "PLU-Down.txt").open(encoding="latin-1")
                          if not line.startswith(";"))
            package = build_package(build, chain.scratch)
            chain.start_simulators()
            chain.write_inventory(package)
            check_install(chain)
            check_bad_inventories(chain)
            check_prices(chain, records)
            check_report(chain)
        except Failure as failure:
            print(f"FAILED: {failure}", file=sys.stderr)
            return 1
        finally:
            for sim in chain.sims:
                sim.kill()
                sim.wait()
    print("Head office served the three shops.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
