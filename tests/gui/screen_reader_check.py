# Reads the running Markwell window (X window id, grade book path) over the accessibility bus,
# as a screen reader does; prints each fault and exits 1 if there is any.
import subprocess, sys, time
import pyatspi

window_id, book = sys.argv[1], sys.argv[2]
faults = []
check = lambda ok, what: ok or faults.append(what)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def labelled_by(node):
    return [r.getTarget(i).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]


def find(parent, test):
    for _ in range(100):
        found = next((n for n in parent if n is not None and test(n)), None)
        if found is not None:
            return found
        time.sleep(0.1)


app = find(pyatspi.Registry.getDesktop(0), lambda a: a.name.lower().startswith("markwell"))
if app is None:
    sys.exit("Markwell did not appear on the accessibility bus")
nodes = list(walk(app))
roles = lambda role: [n for n in nodes if n.getRole() == role]

# The start-up load leaves no semester current, though the activation focused their list.
semesters = [n for n in roles(pyatspi.ROLE_LIST) if n.name == "Semester"]
check(len(semesters) == 1 and semesters[0].getState().contains(pyatspi.STATE_FOCUSED)
      and semesters[0].childCount == 3, "the focused list of three semesters is not there")
check(not any(e.getState().contains(pyatspi.STATE_SELECTED) for s in semesters for e in s),
      "taking the focus selected a semester")
status = "Sucessfully loaded from file " + book + "."
check(any(status in (n.name, n.description) for n in roles(pyatspi.ROLE_LABEL)), "status line")

# Lists are named, drop-down lists and figures labelled by their captions, the logo named.
for n in roles(pyatspi.ROLE_LIST):
    check(n.name.strip() or n.parent.getRole() == pyatspi.ROLE_COMBO_BOX, "an unnamed list")
combos = [labelled_by(n) for n in roles(pyatspi.ROLE_COMBO_BOX)]
figures = [labelled_by(n) for n in roles(pyatspi.ROLE_LABEL)]
for caption, among in (("Grade:", combos), ("Grading Method:", combos),
                       ("Overall GPA:", figures), ("Semester GPA:", figures)):
    check([caption] in among, "nothing labelled by " + caption)
check(any(n.name == "Markwell, about" for n in nodes), "the logo has no name")

# The overview is a window, and its chart says what it shows.
subprocess.run(["xdotool", "key", "--window", window_id, "ctrl+g"], check=True)
overview = find(app, lambda n: n.name == "GPA Overview")
check(overview and overview.getRole() in (pyatspi.ROLE_WINDOW, pyatspi.ROLE_FRAME),
      "the overview is no window")
check(overview and any(n.name == "GPA trend chart" and "cumulative GPA" in n.description
                       for n in walk(overview)), "the chart is not named and described")

for fault in faults:
    print("FAULT:", fault)
sys.exit(1 if faults else 0)
