#pragma once
// The usual visitor made of lambdas, for std::visit over the record set's value kinds.

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;
