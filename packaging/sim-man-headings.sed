# Turns a heading of vorn-sim's help ("Faults:"), which help2man leaves as an indented
# paragraph, into a subsection.
/^\.IP$/{
N
s/^\.IP\n\([^ ].*:\)$/.SS "\1"/
}
