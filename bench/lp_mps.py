"""Free MPS as runtarvo writes it, read into plain dicts and written back,
for the scripts that transform models or check solutions."""
import gzip

INF = float("inf")


class Lp:
    """A free-MPS LP as runtarvo writes it: rows, columns by name, bounds."""

    def __init__(self):
        self.name, self.obj, self.sense = "LP", None, "MIN"
        self.rows, self.rtype, self.rhs, self.rng = [], {}, {}, {}
        self.cols, self.coef, self.cost = [], {}, {}
        self.lo, self.up = {}, {}
        self.objrhs = 0.0  # minus the objective's constant

    @staticmethod
    def read(path):
        lp, sec = Lp(), None
        opener = gzip.open if path.endswith(".gz") else open
        with opener(path, "rt") as f:
            for line in f:
                if not line.strip() or line.startswith("*"):
                    continue
                if not line[0].isspace():
                    w = line.split()
                    sec = w[0]
                    if sec == "NAME" and len(w) > 1:
                        lp.name = w[1]
                    elif sec == "OBJSENSE" and len(w) > 1:
                        lp.sense = w[1]
                    continue
                w = line.split()
                if sec == "OBJSENSE":
                    lp.sense = w[0]
                elif sec == "ROWS":
                    if w[0] == "N":
                        if lp.obj is None:
                            lp.obj = w[1]
                    else:
                        lp.rows.append(w[1])
                        lp.rtype[w[1]] = w[0]
                        lp.rhs[w[1]] = 0.0
                elif sec == "COLUMNS":
                    c = w[0]
                    if c not in lp.coef:
                        lp.cols.append(c)
                        lp.coef[c], lp.cost[c], lp.lo[c], lp.up[c] = {}, 0.0, 0.0, INF
                    for k in range(1, len(w) - 1, 2):
                        if w[k] == lp.obj:
                            lp.cost[c] = float(w[k + 1])
                        elif w[k] in lp.rtype:
                            lp.coef[c][w[k]] = float(w[k + 1])
                elif sec in ("RHS", "RANGES"):
                    pairs = w[1:] if len(w) % 2 else w
                    for k in range(0, len(pairs) - 1, 2):
                        if pairs[k] in lp.rtype:
                            (lp.rhs if sec == "RHS" else lp.rng)[pairs[k]] = float(pairs[k + 1])
                        elif sec == "RHS" and pairs[k] == lp.obj:
                            lp.objrhs = float(pairs[k + 1])
                elif sec == "BOUNDS":
                    t, c = w[0], w[2]
                    v = float(w[3]) if len(w) > 3 else 0.0
                    if t in ("UP", "UI"):
                        lp.up[c] = v
                        if v < 0 and lp.lo[c] == 0.0:
                            lp.lo[c] = -INF
                    elif t in ("LO", "LI"):
                        lp.lo[c] = v
                    elif t == "FX":
                        lp.lo[c] = lp.up[c] = v
                    elif t == "FR":
                        lp.lo[c], lp.up[c] = -INF, INF
                    elif t == "MI":
                        lp.lo[c] = -INF
                    elif t == "PL":
                        lp.up[c] = INF
                    elif t == "BV":
                        lp.lo[c], lp.up[c] = 0.0, 1.0
        return lp

    def write(self, path):
        g = lambda v: "%.17g" % v
        out = ["NAME %s" % self.name]
        if self.sense != "MIN":
            out += ["OBJSENSE", "    " + self.sense]
        out += ["ROWS", " N  %s" % self.obj] + [" %s  %s" % (self.rtype[r], r) for r in self.rows]
        out.append("COLUMNS")
        for c in self.cols:
            if self.cost[c] != 0:
                out.append("    %s %s %s" % (c, self.obj, g(self.cost[c])))
            out += ["    %s %s %s" % (c, r, g(v)) for r, v in self.coef[c].items() if v != 0]
        out.append("RHS")
        out += ["    RHS %s %s" % (r, g(self.rhs[r])) for r in self.rows if self.rhs[r] != 0]
        if self.objrhs:
            out.append("    RHS %s %s" % (self.obj, g(self.objrhs)))
        if self.rng:
            out.append("RANGES")
            out += ["    RNG %s %s" % (r, g(v)) for r, v in self.rng.items()]
        out.append("BOUNDS")
        for c in self.cols:
            lo, up = self.lo[c], self.up[c]
            if lo == up:
                out.append(" FX BND %s %s" % (c, g(lo)))
            elif lo == -INF and up == INF:
                out.append(" FR BND %s" % c)
            else:
                if lo == -INF:
                    out.append(" MI BND %s" % c)
                elif lo != 0:
                    out.append(" LO BND %s %s" % (c, g(lo)))
                if up != INF:
                    out.append(" UP BND %s %s" % (c, g(up)))
        out.append("ENDATA")
        with open(path, "w") as f:
            f.write("\n".join(out) + "\n")

    def row_bounds(self, r):
        """Lower and upper limit of row r's activity, ranges applied."""
        t, b, R = self.rtype[r], self.rhs[r], self.rng.get(r)
        if t == "L":
            return (-INF if R is None else b - abs(R), b)
        if t == "G":
            return (b, INF if R is None else b + abs(R))
        if R is None or R == 0:
            return (b, b)
        return (b, b + R) if R > 0 else (b + R, b)
