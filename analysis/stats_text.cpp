#include "analysis/stats_text.h"

#include <charconv>
#include <cmath>
#include <functional>

namespace vorsel::analysis {

namespace {

std::string num(double v, const char* none) {
    if (!std::isfinite(v)) return none;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}
// A value of the file: the shortest text of its 4-byte real.
std::string real(double v, const char* none) {
    const auto f = static_cast<float>(v);
    if (!std::isfinite(f)) return none;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, f);
    return std::string(buf, r.ptr);
}
std::string json_num(double v) { return num(v, "null"); }
std::string csv_num(double v) { return num(v, ""); }
std::string json_real(double v) { return real(v, "null"); }
std::string csv_real(double v) { return real(v, ""); }
std::string count(std::int64_t n) { return std::to_string(n); }

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// "key": value pairs joined into an object.
class Object {
public:
    Object& add(const std::string& key, const std::string& value) {
        text_ += (text_.empty() ? "" : ", ") + json_string(key) + ": " + value;
        return *this;
    }
    std::string str() const { return "{" + text_ + "}"; }

private:
    std::string text_;
};

std::string agreement_json(const Agreement& a) {
    Object o;
    o.add("n", count(a.n)).add("R1", json_num(a.r1));
    o.add("sum_fo2_over_sum_fc2", json_num(a.fo2_over_fc2));
    if (a.weighted)
        o.add("wR2", json_num(a.wr2)).add("S", json_num(a.s));
    else
        o.add("wRF", json_num(a.wrf)).add("wRF_left_out", count(a.wrf_left_out));
    return o.str();
}

std::string table_json(const Table& t) {
    Object o;
    o.add("constant", t.constant ? "true" : "false");
    if (t.constant) return o.str();
    o.add("chi2", json_num(t.trend.tested ? t.trend.chi2 : NAN));
    o.add("dof", t.trend.tested ? std::to_string(t.trend.dof) : "null");
    o.add("p", json_num(t.trend.tested ? t.trend.p : NAN));
    o.add("trend", t.trend.trend ? "true" : "false");
    std::string bins;
    for (const Bin& b : t.bins) {
        Object bo;
        bo.add("x_min", json_real(b.x_min)).add("x_max", json_real(b.x_max)).add("n", count(b.n));
        bo.add("mean", json_num(b.mean)).add("sd", json_num(b.sd)).add("rms", json_num(b.rms));
        bo.add("sum_fo2_over_sum_fc2", json_num(b.fo2_over_fc2)).add("R1", json_num(b.r1));
        bins += (bins.empty() ? "\n      " : ",\n      ") + bo.str();
    }
    o.add("bins", "[" + bins + "]");
    return o.str();
}

void csv_block(std::string& out, const std::string& name, const std::string& header,
               const std::function<void(std::string&)>& rows) {
    out += "# " + name + "\n" + header + "\n";
    rows(out);
}

}  // namespace

std::string statistics_json(const Statistics& s, const std::string& file) {
    std::string x;
    for (const Table& t : s.tables)
        x += (x.empty() ? "\n    " : ",\n    ") + json_string(t.quantity.name) + ": " +
             table_json(t);
    std::string worst;
    for (const Worst& w : s.worst) {
        Object o;
        o.add("running_number", json_real(w.running_number)).add("data_line", count(w.data_line));
        if (s.indices)
            o.add("h", w.hkl ? std::to_string(w.hkl->h) : "null")
                .add("k", w.hkl ? std::to_string(w.hkl->k) : "null")
                .add("l", w.hkl ? std::to_string(w.hkl->l) : "null");
        o.add("Fo", json_real(w.fo)).add("Fc", json_real(w.fc)).add("s", json_real(w.sigma));
        o.add("dF_sFo", json_num(w.dF_s)).add("theta", json_real(w.theta));
        worst += (worst.empty() ? "\n    " : ",\n    ") + o.str();
    }
    Object normal;
    normal.add("n", count(s.normal.n)).add("slope", json_num(s.normal.slope));
    normal.add("intercept", json_num(s.normal.intercept));
    return "{\"file\": " + json_string(file) + ",\n \"limit\": " + json_num(s.limit) +
           ",\n \"agreement\": {\"significant\": " + agreement_json(s.significant) +
           ",\n               \"all\": " + agreement_json(s.all) + "},\n \"x\": {" + x +
           "},\n \"normal_probability\": " + normal.str() + ",\n \"worst\": [" + worst + "]}\n";
}

std::string statistics_csv(const Statistics& s, const std::string& file) {
    std::string out = "# file," + file + "\n# limit," + csv_num(s.limit) + "\n";
    csv_block(out, "agreement", "reflections,n,R1,sum_fo2_over_sum_fc2,wR2,S,wRF,wRF_left_out",
              [&](std::string& o) {
                  for (const auto& [name, a] :
                       {std::pair{"significant", &s.significant}, std::pair{"all", &s.all}}) {
                      o += std::string(name) + "," + count(a->n) + "," + csv_num(a->r1) + "," +
                           csv_num(a->fo2_over_fc2) + ",";
                      if (a->weighted)
                          o += csv_num(a->wr2) + "," + csv_num(a->s) + ",,\n";
                      else
                          o += ",," + csv_num(a->wrf) + "," + count(a->wrf_left_out) + "\n";
                  }
              });
    csv_block(out, "trend tests", "x,constant,chi2,dof,p,trend", [&](std::string& o) {
        for (const Table& t : s.tables) {
            o += std::string(t.quantity.name) + "," + (t.constant ? "true" : "false") + ",";
            if (!t.constant && t.trend.tested)
                o += csv_num(t.trend.chi2) + "," + std::to_string(t.trend.dof) + "," +
                     csv_num(t.trend.p) + ",";
            else
                o += ",,,";
            o += t.trend.trend ? "true\n" : "false\n";
        }
    });
    for (const Table& t : s.tables) {
        if (t.constant) continue;
        csv_block(out, std::string("bins vs. ") + t.quantity.name,
                  "x_min,x_max,n,mean,sd,rms,sum_fo2_over_sum_fc2,R1", [&](std::string& o) {
                      for (const Bin& b : t.bins)
                          o += csv_real(b.x_min) + "," + csv_real(b.x_max) + "," + count(b.n) +
                               "," + csv_num(b.mean) + "," + csv_num(b.sd) + "," + csv_num(b.rms) +
                               "," + csv_num(b.fo2_over_fc2) + "," + csv_num(b.r1) + "\n";
                  });
    }
    csv_block(out, "normal probability", "n,slope,intercept", [&](std::string& o) {
        o += count(s.normal.n) + "," + csv_num(s.normal.slope) + "," + csv_num(s.normal.intercept) +
             "\n";
    });
    csv_block(out, "worst",
              std::string("running_number,data_line,") + (s.indices ? "h,k,l," : "") +
                  "Fo,Fc,s,dF_sFo,theta",
              [&](std::string& o) {
                  for (const Worst& w : s.worst) {
                      o += csv_real(w.running_number) + "," + count(w.data_line) + ",";
                      if (s.indices)
                          o += w.hkl ? std::to_string(w.hkl->h) + "," + std::to_string(w.hkl->k) +
                                           "," + std::to_string(w.hkl->l) + ","
                                     : std::string(",,,");
                      o += csv_real(w.fo) + "," + csv_real(w.fc) + "," + csv_real(w.sigma) + "," +
                           csv_num(w.dF_s) + "," + csv_real(w.theta) + "\n";
                  }
              });
    return out;
}

}  // namespace vorsel::analysis
