namespace quarvel::app {
void placeholder() {}
}
